// The writers of PDF, SVG and EPS export jobs: a parameter block of the host's save-a-copy action
// filled from the job's option keys, then the action "host_saveACopyAs" played with dialogs off.
// Each answers false with the reason in error at the first step that fails; a present option of
// the wrong JSON type, or a number outside what its host key holds, fails its step.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "AIActionManager.h"

// One name of an enumerated option and its host value (0xFFFFFFFF reaches the host as -1).
struct EnumName {
    std::string_view name;
    std::uint32_t value;
};
using EnumTable = std::span<const EnumName>;

// The host's value of the job's name under the key: the default when the key is absent or the name
// is not in the table. False only when the value is not a string.
bool GetEnumParamFromJson(const nlohmann::json& job, std::string_view key, EnumTable table,
                          std::uint32_t defaultValue, std::uint32_t& value);

// Each sets one option from the job (or its default) under the host key and answers the empty
// text, or "Can't set the <key> parameter" when the value is of the wrong type or out of range, or
// the host refuses.
std::string SetActionParamEnum(const nlohmann::json& job, std::string_view key, EnumTable table,
                               ActionParamKeyID hostKey, std::uint32_t defaultValue,
                               AIActionParamValueRef params);
std::string SetActionParamBool(const nlohmann::json& job, std::string_view key, ActionParamKeyID hostKey,
                               bool defaultValue, AIActionParamValueRef params);
std::string SetActionParamInt(const nlohmann::json& job, std::string_view key, ActionParamKeyID hostKey,
                              ai::int32 defaultValue, AIActionParamValueRef params);
std::string SetActionParamReal(const nlohmann::json& job, std::string_view key, ActionParamKeyID hostKey,
                               double defaultValue, AIActionParamValueRef params);
std::string SetActionParamUnicodeString(const nlohmann::json& job, std::string_view key,
                                        ActionParamKeyID hostKey, const std::string& defaultText,
                                        AIActionParamValueRef params);

bool ExportEps(const nlohmann::json& job, const std::string& path, std::string& error);
bool ExportSvg(const nlohmann::json& job, const std::string& path, std::string& error);
bool ExportPdf(const nlohmann::json& job, const std::string& path, std::string& error);

// The writer of a vector format written by this file ("pdf", "svg", "eps"); false with "File type
// not supported" for another.
bool ExportVectorFormat(const nlohmann::json& job, const std::string& format, const std::string& path,
                        std::string& error);
