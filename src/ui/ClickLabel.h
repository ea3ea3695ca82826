// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>

// A label that the operator clicks like a button: by mouse, or with Space or
// Enter when it has the focus. Its background and text colours are window
// colour values. The labels stand for a choice of one of several, so screen
// readers are shown a radio button named after the caption, checked when it
// is the chosen one.
class ClickLabel : public QLabel
{
    Q_OBJECT
    Q_PROPERTY(quint32 backColor READ backColor WRITE setBackColor)
    Q_PROPERTY(quint32 foreColor READ foreColor WRITE setForeColor)
public:
    explicit ClickLabel(const QString &caption, QWidget *parent = nullptr);

    quint32 backColor() const { return m_backColor; }
    void setBackColor(quint32 color);
    quint32 foreColor() const { return m_foreColor; }
    void setForeColor(quint32 color);

    // The colours show the choice on screen; this tells screen readers.
    bool isChecked() const { return m_checked; }
    void setChecked(bool checked);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void applyColors();

    quint32 m_backColor;
    quint32 m_foreColor;
    bool m_pressed = false;
    bool m_checked = false;
};
