// The writers of PDF, SVG and EPS export jobs: a parameter block of the host's save-a-copy action
// filled from the job's option keys (with the setters of VectorExport.h), then the action
// "host_saveACopyAs" played with dialogs off. Each answers false with the reason in error at the
// first step that fails; a present option of the wrong JSON type, or a number outside what its
// host key holds, fails its step, also where the host's refusal of the value is passed over.
#pragma once

#include <functional>
#include <span>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "AIActionManager.h"
#include "documents/VectorExport.h"

// How an option reaches the host: an enumeration (by the table), a Unicode text, a boolean, a
// flag handed on as the integer or the enumeration 1 or 0, a 32-bit integer or a real.
enum class Kind { enumerated, text, boolean, flagAsInteger, flagAsEnum, integer, real };

// One option of a writer's table: the job's key, the host's four-character key, how it is set and
// its default (booleans 1 or 0; texts in defaultText).
struct OptionRow {
    std::string_view key;
    const char* hostKey;
    Kind kind;
    double defaultValue;
    EnumTable table = {};
    bool stops = true;  // false: the host's refusal is passed over (a value of the wrong type still stops)
    const char* defaultText = "";
};

// Sets the rows in order; false with the first failure's text ("Can't set the <key> parameter").
bool SetRows(const nlohmann::json& job, std::span<const OptionRow> rows, AIActionParamValueRef params,
             std::string& error);

// How a save-a-copy writer names its format: the host's format name, the extension list, and the
// order of the two keys (EPS and PDF: the format first, with the extension as a plain string).
struct SaveACopyFormat {
    const char* name;
    const char* extension;
    bool formatFirst;
};
// Sets the writer's options on the block; false with the first failure's text.
using BlockOptions = std::function<bool(AIActionParamValueRef params, std::string& error)>;

// Every save-a-copy writer's steps: a parameter block ("Can't create action params"), the path and
// the format's keys ("Can't set the kAISaveDocumentAsNameKey", ...), the writer's options, the play
// with dialogs off ("Can't play an action event") and the block deleted ("Can't delete action
// params"). The block is deleted on every way out.
bool SaveACopy(const std::string& path, const SaveACopyFormat& format, const BlockOptions& options,
               std::string& error);

bool ExportEps(const nlohmann::json& job, const std::string& path, std::string& error);
bool ExportSvg(const nlohmann::json& job, const std::string& path, std::string& error);
bool ExportPdf(const nlohmann::json& job, const std::string& path, std::string& error);
