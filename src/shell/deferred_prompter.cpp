#include "shell/deferred_prompter.h"

#include <QTimer>

namespace plox::shell {

Answer DeferredPrompter::message(std::string_view title, std::string_view text, Buttons buttons,
                                 Icon icon) {
    pending_.push_back({std::string(title), std::string(text), buttons, icon});
    if (!scheduled_) {
        scheduled_ = true;
        QTimer::singleShot(0, owner_, [this] { flush(); });
    }
    return buttons == Buttons::YesNo || buttons == Buttons::YesNoCancel ? Answer::Yes : Answer::Ok;
}

void DeferredPrompter::flush() {
    scheduled_ = false;
    // A shown box pumps events, and a repaint may queue more: take the list first.
    std::vector<Pending> shown;
    shown.swap(pending_);
    for (const Pending& p : shown)
        target_.message(p.title, p.text, p.buttons, p.icon);
}

} // namespace plox::shell
