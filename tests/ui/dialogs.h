#pragma once
// Answers the modal dialogs a test provokes, in order, so no test can block in exec().
//
// Each expected dialog is one step: a function that receives the dialog when it has become
// the active modal widget, records what it needs and closes it.  A dialog that appears with
// no step left is rejected and counted as unexpected.

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <QPushButton>
#include <QtTest>

#include <deque>
#include <functional>

class DialogScript : public QObject {
public:
    using Step = std::function<void(QWidget *)>;

    DialogScript()
    {
        m_timer.setInterval(5);
        connect(&m_timer, &QTimer::timeout, this, &DialogScript::poll);
        m_timer.start();
    }

    void then(Step step) { m_steps.push_back(std::move(step)); }

    // Common steps.
    void answerText(const QString &text)
    {
        then([text](QWidget *w) {
            auto *dialog = qobject_cast<QInputDialog *>(w);
            QVERIFY2(dialog, "expected the name box");
            dialog->setTextValue(text);
            dialog->accept();
        });
    }
    void cancelText()
    {
        then([](QWidget *w) {
            QVERIFY2(qobject_cast<QInputDialog *>(w), "expected the name box");
            static_cast<QDialog *>(w)->reject();
        });
    }
    void pressOk()
    {
        then([](QWidget *w) {
            auto *box = qobject_cast<QMessageBox *>(w);
            QVERIFY2(box, "expected a message box");
            box->button(QMessageBox::Ok)->click();
        });
    }

    int answered() const { return m_answered; }
    int unexpected() const { return m_unexpected; }
    bool done() const { return m_steps.empty(); }
    QStringList titles;
    QStringList texts;
    QStringList defaults;   // the text each name box offered before it was answered

private:
    void poll()
    {
        QWidget *w = QApplication::activeModalWidget();
        if (!w || w->property("answered").toBool() || !w->isVisible())
            return;
        w->setProperty("answered", true);
        titles << w->windowTitle();
        if (auto *box = qobject_cast<QMessageBox *>(w))
            texts << box->text();
        else if (auto *input = qobject_cast<QInputDialog *>(w)) {
            texts << input->labelText();
            defaults << input->textValue();
        } else
            texts << QString();
        if (m_steps.empty()) {
            ++m_unexpected;
            if (auto *dialog = qobject_cast<QDialog *>(w))
                dialog->reject();
            return;
        }
        Step step = std::move(m_steps.front());
        m_steps.pop_front();
        ++m_answered;
        step(w);
    }

    QTimer m_timer;
    std::deque<Step> m_steps;
    int m_answered = 0;
    int m_unexpected = 0;
};
