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

#include "ModalBox.h"
#include "Unit1.h"

namespace vyx::app::test {

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
                throw std::runtime_error("enumeration failed");
            }
            return Ports;
        };
        environment.ProgramFolder = Folder.path();
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
    std::unique_ptr<TForm1> Form;
};

}  // namespace vyx::app::test
