// A one-line label that never cuts its text off: when its room is narrower
// than the text, it shows the text shortened with "…" (and the whole text as
// its tooltip). text() stays the whole text; layouts may shrink the label
// down to the width of "…".
#pragma once

#include <QLabel>

namespace vx {

class ElidedLabel : public QLabel {
    Q_OBJECT

public:
    explicit ElidedLabel(QWidget *parent = nullptr, Qt::TextElideMode mode = Qt::ElideRight);

    // The text as painted: whole, or shortened with "…" to fit.
    QString shownText() const;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    bool event(QEvent *event) override;

private:
    Qt::TextElideMode m_mode;
};

} // namespace vx
