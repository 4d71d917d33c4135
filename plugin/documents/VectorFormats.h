// The writers of PDF, SVG and EPS export jobs: a parameter block of the host's save-a-copy action
// filled from the job's option keys, then the action "host_saveACopyAs" played with dialogs off.
// Each answers false with the reason in error at the first step that fails; a present option of the
// wrong JSON type, or a number outside what its host key holds, fails its step ("Can't set the
// <key> parameter"), also where the host's refusal of the value is passed over.
#pragma once

#include <array>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "AIActionManager.h"
#include "documents/ExportFormats.h"

// One name of an option and the host value it stands for.
struct EnumName {
    std::string_view name;
    ai::uint32 value;
};
using EnumTable = std::span<const EnumName>;

// The version names of the native and EPS writers, and their transparency names.
inline constexpr std::array<EnumName, 12> kVersionNames = {{
    {"2020", 24},
    {"CC", 17},
    {"CS6", 16},
    {"CS5", 15},
    {"CS4", 14},
    {"CS3", 13},
    {"CS2", 12},
    {"CS", 11},
    {"10", 10},
    {"9", 9},
    {"8", 8},
    {"3", 3},
}};
inline constexpr std::array<EnumName, 2> kTransparencyNames = {
    {{"Preserve Paths", 0}, {"Preserve Appearance", 2}}};

// The value of the name under the key: default when the key is absent or the name is not in the
// table. False (with the default) when the value is not a JSON string.
bool GetEnumParamFromJson(const nlohmann::json& job, std::string_view key, EnumTable table,
                          ai::uint32 defaultValue, ai::uint32& value);

// Each sets the job's value under key (or the default) as hostKey of the block; empty text, or
// "Can't set the <key> parameter".
std::string SetActionParamEnum(const nlohmann::json& job, std::string_view key, EnumTable table,
                               ActionParamKeyID hostKey, ai::uint32 defaultValue,
                               AIActionParamValueRef params);
std::string SetActionParamBool(const nlohmann::json& job, std::string_view key, ActionParamKeyID hostKey,
                               bool defaultValue, AIActionParamValueRef params);
// A JSON integer within the 32-bit range.
std::string SetActionParamInt(const nlohmann::json& job, std::string_view key, ActionParamKeyID hostKey,
                              ai::int32 defaultValue, AIActionParamValueRef params);
// A finite JSON number.
std::string SetActionParamReal(const nlohmann::json& job, std::string_view key, ActionParamKeyID hostKey,
                               double defaultValue, AIActionParamValueRef params);
std::string SetActionParamUnicodeString(const nlohmann::json& job, std::string_view key,
                                        ActionParamKeyID hostKey, const std::string& defaultText,
                                        AIActionParamValueRef params);

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

// ExportEps, ExportSvg and ExportPdf are declared with the format table (ExportFormats.h).
