// A host that records what macro and server commands asked for, and scratch files.
#pragma once

#include "automation/automation.h"
#include "document/graph_ops.h"
#include "document/prompter.h"

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace plox::test {

// Answers from a script (Ok, or No for questions, when it runs out) and remembers every text.
class ScriptedPrompter : public Prompter {
public:
    Answer message(std::string_view title, std::string_view text, Buttons buttons, Icon) override {
        shown.push_back(std::string(title) + "|" + std::string(text));
        if (!answers.empty()) {
            Answer a = answers.front();
            answers.pop_front();
            return a;
        }
        return buttons == Buttons::YesNo ? Answer::No : Answer::Ok;
    }
    std::deque<Answer> answers;
    std::vector<std::string> shown;
};

class RecordingHost : public AutomationHost {
public:
    RecordingHost() { add_graph(set); }
    GraphSet& graph_set() override { return set; }
    Prompter& prompter() override { return prompts; }
    void begin_change(int graph) override { calls.push_back("change " + std::to_string(graph)); }
    void delete_graphs(bool all) override { calls.push_back(all ? "delete all" : "delete"); }
    bool open_document(const std::string& path) override {
        calls.push_back("open " + path);
        return open_succeeds;
    }
    void add_data_series(const std::string& path, const Series& t) override {
        calls.push_back("series " + path);
        opened_with.push_back(t);
    }
    void clear_scale(int axis) override { calls.push_back("clear " + std::to_string(axis)); }
    void graph_edited() override { calls.push_back("edited"); }
    void print(bool dialog) override {
        calls.push_back(dialog ? "print dialog" : "print off");
        if (on_print) on_print();
    }
    void refresh() override { calls.push_back("refresh"); }

    GraphSet set;
    ScriptedPrompter prompts;
    std::vector<std::string> calls;
    std::vector<Series> opened_with;
    bool open_succeeds = true;
    std::function<void()> on_print;
};

class TempDir {
public:
    TempDir() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = std::filesystem::temp_directory_path() /
               (std::string("plox_automation_") + info->test_suite_name() + "_" + info->name());
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    std::string write(const std::string& name, const std::string& bytes) const {
        const auto path = dir_ / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path.string();
    }
    std::string path(const std::string& name) const { return (dir_ / name).string(); }

private:
    std::filesystem::path dir_;
};

} // namespace plox::test
