#include "pages/icon_button.h"

#include <QPainter>

static QPixmap WithSilverTransparent(const QPixmap &picture)
{
    QPixmap result = picture;
    result.setMask(picture.createMaskFromColor(QColor(192, 192, 192), Qt::MaskInColor));
    return result;
}

TIconButton::TIconButton(TButtonData data, QWidget *parent)
    : QPushButton(parent), m_data(std::move(data))
{
    m_data.picture = WithSilverTransparent(m_data.picture);
    setFocusPolicy(Qt::StrongFocus);
    setAutoDefault(false);
}

void TIconButton::paintEvent(QPaintEvent *event)
{
    QPushButton::paintEvent(event);
    QPainter painter(this);
    const QSize picture = m_data.picture.size() / m_data.picture.devicePixelRatio();
    if (!m_data.picture.isNull())
        painter.drawPixmap((width() - picture.width()) / 2, (height() - picture.height()) / 2,
                           m_data.picture);
    // The keyboard's button wears a dashed frame inside its border, where the default
    // button's mark is its darker border.
    if (hasFocus()) {
        painter.setPen(QPen(palette().color(QPalette::ButtonText), 2, Qt::DashLine));
        painter.drawRect(rect().adjusted(6, 6, -7, -7));
    }
}
