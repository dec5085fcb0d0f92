#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <string>
#include <vector>

// Answers the library's real message boxes as a user would, by clicking their buttons; a box
// nobody expected fails the test and is closed, so nothing hangs.
class BoxAnswerer : public QObject {
  public:
    BoxAnswerer() {
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { Poll(); });
        m_timer.start();
    }
    void Expect(QMessageBox::StandardButton answer) { m_answers.push_back(answer); }
    std::vector<std::string> texts;
    bool AllUsed() const { return m_answers.empty(); }

  private:
    void Poll() {
        for (QWidget* pWidget : QApplication::topLevelWidgets()) {
            auto* pBox = qobject_cast<QMessageBox*>(pWidget);
            if (pBox == nullptr || !pBox->isVisible()) {
                continue;
            }
            texts.push_back(pBox->text().toStdString());
            if (m_answers.empty()) {
                ADD_FAILURE() << "unexpected message box: " << pBox->text().toStdString();
                pBox->reject();
            } else {
                pBox->button(m_answers.front())->click();
                m_answers.erase(m_answers.begin());
            }
        }
    }
    QTimer m_timer;
    std::vector<QMessageBox::StandardButton> m_answers;
};
