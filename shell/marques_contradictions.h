#pragma once

#include <QImage>
#include <QPointer>
#include <QWidget>

#include <vector>

#include "engine/contradictions.h"

namespace tarvenko {

struct KeyModel;
class RobotView;

// Marks, over the drawing, the answers a species contradicts that have no overlay of their own
// (those flagged on a bar button): the object's click zones are framed and the parts painted in
// its colours are hatched, so the user sees where the answer was given. It lies over the drawing
// as a child that takes no mouse events.
class MarquesContradictions final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MarquesContradictions)

public:
    MarquesContradictions(RobotView *robot, KeyModel &m);

    // Empty: nothing is marked.
    void setMarques(std::vector<MarqueDessin> marques);
    const std::vector<MarqueDessin> &marques() const { return m_marques; }
    // The hatching of the parts in the marked objects' colours, at the drawing's size.
    QImage hachures();

protected:
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPointer<RobotView> m_robot;
    KeyModel &m;
    std::vector<MarqueDessin> m_marques;
    QImage m_hachures;
    qint64 m_cleDessin = 0; // the drawing the hatching was made from
};

} // namespace tarvenko
