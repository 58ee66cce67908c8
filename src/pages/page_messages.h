#pragma once

#include <QList>
#include <QObject>
#include <QString>

class QLabel;
class QTimer;
class QWidget;
class TFormBase;

// A page's message presentation: two centred lines on the right picture that replace some of
// the page's controls for three seconds, with the skin's message picture and colour meanwhile.
class TPageMessages : public QObject {
public:
    // replaced: the controls the two lines stand in for while they show.
    TPageMessages(TFormBase *page, const QList<QWidget *> &replaced);

    void Show(const QString &line1, const QString &line2);
    bool Presenting() const;
    // The page comes back in its normal look.
    void End();
    // In test mode shows the two test lines for ten minutes and returns true; the page then
    // skips the work its show handler would start.
    bool ShowTestMessageIfTestMode();

    QLabel *Label1() const { return m_label1; }
    QLabel *Label2() const { return m_label2; }
    QTimer *MessageTimer() const { return m_messageTimer; }

private:
    TFormBase *m_page;
    QList<QWidget *> m_replaced;
    QList<QWidget *> m_hiddenByMessage;
    QLabel *m_label1;
    QLabel *m_label2;
    QTimer *m_messageTimer;
};
