// Message boxes for the prompter interface.
#pragma once

#include "document/prompter.h"

#include <QPointer>
#include <QWidget>

namespace plox {

class QtPrompter : public Prompter {
public:
    explicit QtPrompter(QWidget* parent = nullptr) : parent_(parent) {}
    void set_parent(QWidget* parent) { parent_ = parent; }
    Answer message(std::string_view title, std::string_view text, Buttons buttons = Buttons::Ok,
                   Icon icon = Icon::None) override;

private:
    QPointer<QWidget> parent_;
};

} // namespace plox
