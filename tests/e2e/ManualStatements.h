// Statements of the user's manual (docs/commands.md), each run as a user would run it: an example
// document, the requests sent in order, and what the last reply must hold. The manual's own examples
// are run by CommandManualTest.cpp; these tables keep the statements that were checked by running
// them (a key absent, at its default, at another value or of the wrong type; a flag on and off; an
// error or warning provoked), so that CI runs them too. Each table file instantiates the test over
// its own rows.
#pragma once

#include <cctype>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "PluginFixture.h"

struct ManualStatement {
    std::string section;   // the manual's section, a command's name or a heading
    std::string says;      // the statement, in a few words (names the case in test output)
    std::string document;  // a document of examples/ by its file name; "" for a new document
    // The requests sent in order (command, request text); only the last one's reply is checked. A
    // command written "panel NAME" is sent as the panel's event of that name instead, and its reply
    // is the data of the result event it gets back: JSON as JSON, an XML reply as a string.
    std::vector<std::pair<std::string, std::string>> steps;
    // What the last reply holds: every key of an object is matched in the reply's object (null: the
    // key is absent), every element of an array in the reply's element at that index, any other
    // value by equality; a string "*" matches any value that is present.
    nlohmann::json holds;
};

// The statements of one section of the manual, each run on the section's document.
struct ManualSection {
    struct Row {
        std::string says;
        std::vector<std::pair<std::string, std::string>> steps;
        nlohmann::json holds;
    };
    std::string section;
    std::string document;
    std::vector<Row> rows;
};

// The sections' statements, one after another.
inline std::vector<ManualStatement> Sections(const std::vector<ManualSection>& sections) {
    std::vector<ManualStatement> statements;
    for (const ManualSection& section : sections) {
        for (const ManualSection::Row& row : section.rows) {
            statements.push_back({section.section, row.says, section.document, row.steps, row.holds});
        }
    }
    return statements;
}

// Whether the reply holds what the statement says, as ManualStatement::holds describes; the first
// place that differs in where.
inline bool ReplyHolds(const nlohmann::json& reply, const nlohmann::json& holds, std::string& where,
                       const std::string& at = "") {
    if (holds.is_string() && holds.get<std::string>() == "*") {
        return true;
    }
    if (holds.is_object()) {
        if (!reply.is_object()) {
            where = at + " is no object";
            return false;
        }
        for (const auto& [key, value] : holds.items()) {
            const auto found = reply.find(key);
            if (value.is_null()) {
                if (found != reply.end()) {
                    where = at + "/" + key + " is present";
                    return false;
                }
                continue;
            }
            if (found == reply.end()) {
                where = at + "/" + key + " is absent";
                return false;
            }
            if (!ReplyHolds(*found, value, where, at + "/" + key)) {
                return false;
            }
        }
        return true;
    }
    if (holds.is_array()) {
        if (!reply.is_array() || reply.size() != holds.size()) {
            where = at + " is no array of " + std::to_string(holds.size());
            return false;
        }
        for (std::size_t i = 0; i < holds.size(); ++i) {
            if (!ReplyHolds(reply[i], holds[i], where, at + "/" + std::to_string(i))) {
                return false;
            }
        }
        return true;
    }
    if (reply != holds) {
        where = at + " is " + reply.dump();
        return false;
    }
    return true;
}

// Names a statement in test output by its section and what it says.
inline std::string StatementName(const testing::TestParamInfo<ManualStatement>& info) {
    std::string name = info.param.section + "_" + info.param.says;
    for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c))) {
            c = '_';
        }
    }
    return name + "_" + std::to_string(info.index);
}

class ManualStatementTest : public PluginTest, public testing::WithParamInterface<ManualStatement> {
protected:
    // The reply of one step (see ManualStatement::steps).
    json Send(const std::string& command, const std::string& request) {
        const std::string panel = "panel ";
        if (command.rfind(panel, 0) != 0) {
            return ScriptJson(command, request);
        }
        app->Panel().ClearDispatched();
        app->Panel().Send("com.torvi.event." + command.substr(panel.size()), request, "com.example.asker");
        const auto events = app->Panel().TakeDispatched();
        if (events.empty()) {
            return nullptr;
        }
        const json parsed = json::parse(events.back().data, nullptr, false);
        return parsed.is_discarded() ? json(events.back().data) : parsed;
    }

    // Opens the statement's document, sends its requests and checks the last reply.
    void Check() {
        const ManualStatement& statement = GetParam();
        if (!statement.document.empty()) {
            OpenExample(statement.document, 7);
        }
        json reply;
        for (const auto& [command, request] : statement.steps) {
            reply = Send(command, request);
        }
        std::string where;
        EXPECT_TRUE(ReplyHolds(reply, statement.holds, where))
            << statement.section << ": " << statement.says << ": " << where << "\n"
            << reply.dump();
    }
};
