#pragma once

#include <QDialog>

#include <cstdint>
#include <memory>

namespace Ui {
class frmOptions;
}

namespace tarvenko {

struct Contexte;

// The options: the threshold of the species list, the dynamic cursor, the tolerance of numeric
// answers, the tolerance of mismatches, the interface language and where the species documents are read from. Made afresh each time it is opened; Apply stores the
// choices in the user's settings and the key model. A language option changes Num_Langue as soon
// as it is clicked, whether or not the dialog is applied.
// The three pages are Frame1_0, Frame1_1 and Frame1_2, the pages of tbsOptions.
class frmOptions final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmOptions)

public:
    explicit frmOptions(Contexte &ctx, QWidget *parent = nullptr);
    ~frmOptions() override;

    // Localises the window and shows the current settings.
    void Form_Load();

    // False when nothing could be applied: the documents address is empty, which the user is told.
    bool cmdApply_Click();
    void cmdOK_Click();
    void cmdCancel_Click();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void tbsOptions_Click();
    void Form_KeyDown(QKeyEvent *event);
    void Option1_Click();
    void Option2_Click();
    void Langue_Click(std::int16_t langue);
    void Option6_Click();
    void Option7_Click();
    void Command1_Click();
    void Reglage_Valeur_Change();
    // The documents address of the source chosen is filled in; otherwise says so and shows its box.
    bool Adresse_Remplie();

    Contexte &m_ctx;
    std::unique_ptr<Ui::frmOptions> m_ui;
    std::int16_t m_ecartsMontres = -1; // the tolerance of mismatches the dialog showed or last stored
};

} // namespace tarvenko
