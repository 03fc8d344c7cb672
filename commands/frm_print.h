#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class frmPrint;
}

namespace tarvenko {

// The progress window of a drawing printout, with the button that cancels it. Shown without
// blocking the main window; the printout asks it between layers whether to go on.
class frmPrint final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmPrint)

public:
    explicit frmPrint(QWidget *parent = nullptr);
    ~frmPrint() override;

    // Shows layer k of `total` and lets the window handle a press of the cancel button; false
    // once the user cancelled.
    bool avance(int k, int total);
    bool Abandon_Impression() const { return m_abandon; }

private:
    std::unique_ptr<Ui::frmPrint> m_ui;
    bool m_abandon = false;
};

} // namespace tarvenko
