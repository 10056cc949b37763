#pragma once
// A window on a made-up machine: a port list the test sets, a program folder of
// its own, and message boxes recorded and answered instead of shown.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTemporaryDir>
#include <memory>
#include <stdexcept>
#include <vector>

#include "Cport.h"
#include "ModalBox.h"
#include "Unit1.h"

namespace vyx::app::test {

/// A web client that answers what the test says; requests are recorded.
class FakeWebClient : public WebClient {
public:
    void Get(const std::string& url) override {
        Requests->push_back(url);
        state = *Answer;
    }
    void Abort() override { state = FetchState::Failed; }
    FetchState State() const override { return state; }
    std::string Body() const override { return *AnswerBody; }

    std::vector<std::string>* Requests = nullptr;
    FetchState* Answer = nullptr;
    std::string* AnswerBody = nullptr;

private:
    FetchState state = FetchState::Failed;
};

class FormFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ModalBox::SetHook([this](const BoxRequest& box) {
            Boxes.push_back(box);
            return Answer;
        });
    }
    void TearDown() override {
        Form.reset();
        ModalBox::SetHook({});
    }

    /// Creates the window; the layout fix after start runs when `settle`.
    TForm1& Create(bool settle = true) {
        FormEnvironment environment;
        environment.ListPorts = [this] {
            if (EnumerationFails) {
                throw EComPort(ComErrorPortList, 2);
            }
            return Ports;
        };
        environment.ProgramFolder = Folder.path();
        environment.MakeWebClient = [this] {
            auto web = std::make_unique<FakeWebClient>();
            web->Requests = &Requests;
            web->Answer = &WebAnswer;
            web->AnswerBody = &WebBody;
            return web;
        };
        environment.OpenUrl = [this](const QUrl& url) { Opened.push_back(url); };
        Form = std::make_unique<TForm1>(environment);
        if (settle) {
            Form->Timer5Timer();
        }
        return *Form;
    }

    template <typename T>
    T* Find(const QString& name) const {
        T* control = Form->findChild<T*>(name);
        EXPECT_NE(control, nullptr) << name.toStdString();
        return control;
    }
    QLineEdit* EditNamed(const char* name) const { return Find<QLineEdit>(name); }
    QCheckBox* BoxNamed(const QString& name) const { return Find<QCheckBox>(name); }

    QStringList Ports;
    bool EnumerationFails = false;
    QTemporaryDir Folder;
    std::vector<BoxRequest> Boxes;
    QMessageBox::StandardButton Answer = QMessageBox::Ok;
    std::vector<std::string> Requests;
    FetchState WebAnswer = FetchState::Failed;
    std::string WebBody;
    std::vector<QUrl> Opened;
    std::unique_ptr<TForm1> Form;
};

}  // namespace vyx::app::test
