#pragma once

#include <QPixmap>
#include <QPushButton>

#include <functional>

class TFormBase;

using TButtonAction = std::function<void(TFormBase *)>;

// What an icon button does and shows.
struct TButtonData {
    QPixmap picture; // silver is transparent
    TButtonAction action;
    TFormBase *argument = nullptr;
};

// A 38 x 38 push button with a 16 x 16 picture drawn in its centre.
class TIconButton : public QPushButton {
    Q_OBJECT
public:
    TIconButton(TButtonData data, QWidget *parent);
    const TButtonData &data() const { return m_data; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    TButtonData m_data;
};
