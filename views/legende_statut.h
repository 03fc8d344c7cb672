#pragma once

#include <QLabel>
#include <QPointer>

namespace tarvenko {

// The legend of the ranking in the results box: one line that, where the box is narrower than
// the line, ends with an ellipsis; the whole line stays its text and its tip. Its size hint is
// the whole line's.
class LegendeStatut final : public QLabel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(LegendeStatut)

public:
    explicit LegendeStatut(QWidget *parent = nullptr);

    // What the box shows of the text at its present width.
    QString texteAffiche() const;

protected:
    void paintEvent(QPaintEvent *event) override;
};

// The status bar's panel under the results box: as wide as the legend asks (plus `marge`), within
// three fifths of the bar and never less than its minimum width. The messages' panel, which
// stretches, takes what is left.
class PlaceLegende final : public QLabel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PlaceLegende)

public:
    explicit PlaceLegende(QWidget *parent = nullptr);

    void setLegende(QWidget *legende, int marge);
    QSize sizeHint() const override;

private:
    QPointer<QWidget> m_legende;
    int m_marge = 0;
};

} // namespace tarvenko
