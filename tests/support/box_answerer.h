#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <functional>
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
    void Expect(QMessageBox::StandardButton answer) {
        m_answers.push_back([answer](QMessageBox* pBox) { return pBox->button(answer); });
    }
    // A box of buttons of its own: the one of that role.
    void ExpectRole(QMessageBox::ButtonRole role) {
        m_answers.push_back([role](QMessageBox* pBox) -> QAbstractButton* {
            for (QAbstractButton* pButton : pBox->buttons()) {
                if (pBox->buttonRole(pButton) == role) {
                    return pButton;
                }
            }
            return nullptr;
        });
    }
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
                QAbstractButton* pButton = m_answers.front()(pBox);
                m_answers.erase(m_answers.begin());
                if (pButton == nullptr) {
                    ADD_FAILURE() << "no such button in: " << pBox->text().toStdString();
                    pBox->reject();
                } else {
                    pButton->click();
                }
            }
        }
    }
    QTimer m_timer;
    std::vector<std::function<QAbstractButton*(QMessageBox*)>> m_answers;
};
