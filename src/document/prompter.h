// How core code talks to the user: the UI implements this, tests answer it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace plox {

enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Answer { Ok, Cancel, Yes, No };
enum class Icon { None, Information, Warning, Error, Question };

// Texts are UTF-8.
class Prompter {
public:
    virtual ~Prompter() = default;
    virtual Answer message(std::string_view title, std::string_view text,
                           Buttons buttons = Buttons::Ok, Icon icon = Icon::None) = 0;
};

// Answers every message with a fixed answer and remembers what was shown (tests, batch use).
class RecordingPrompter : public Prompter {
public:
    struct Shown {
        std::string title, text;
    };
    explicit RecordingPrompter(Answer answer = Answer::Ok) : answer_(answer) {}
    Answer message(std::string_view title, std::string_view text, Buttons, Icon) override {
        shown.push_back({std::string(title), std::string(text)});
        return answer_;
    }
    std::vector<Shown> shown;

private:
    Answer answer_;
};

} // namespace plox
