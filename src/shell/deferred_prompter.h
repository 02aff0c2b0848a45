// Messages raised while a graph is painted (transform errors, failed fits, unreadable data
// files) are shown after the paint event: a modal box inside paintEvent would re-enter it.
#pragma once

#include "document/prompter.h"

#include <QObject>
#include <string>
#include <vector>

namespace plox::shell {

class DeferredPrompter : public Prompter {
public:
    // `target` shows the messages; `owner` is the object whose event loop delivers them.
    DeferredPrompter(Prompter& target, QObject* owner) : target_(target), owner_(owner) {}

    // Queues the message and answers at once with the first button (Ok or Yes).
    Answer message(std::string_view title, std::string_view text, Buttons buttons,
                   Icon icon) override;

    // Shows every queued message now, in the order raised.
    void flush();

private:
    struct Pending {
        std::string title, text;
        Buttons buttons;
        Icon icon;
    };
    Prompter& target_;
    QObject* owner_;
    std::vector<Pending> pending_;
    bool scheduled_ = false;
};

} // namespace plox::shell
