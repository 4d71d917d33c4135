// Vector export: the job's document cut down to what the file holds and cleaned, then written by
// the host's save-a-copy action ("host_saveACopyAs", dialogs off) with a parameter block of the
// writer's keys. The option setters read the job's keys and fail the job with "Can't set the
// <key> parameter" for a value of the wrong JSON type or outside the host value's range.
#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "AIActionManager.h"
#include "art/ArtList.h"

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

// Cuts the current document down to the job's art (the selected art with "exportSelected"), its
// layers and its artboards, then outlines text, merges the artboards, cleans swatches and symbols
// as the job asks. False with the error set when there is nothing to export or the artboards
// can't be cut.
bool PrepareVectorExport(const nlohmann::json& job, const ArtList& selectedArt, std::string& error);

// Text frames (of the tag query, or all) turned into outlines; false with "No artwork found" when
// there is no art.
bool OutlineText(const std::string& tagSearch, std::string& error);
// With "exportAsSingleArtboard" true, the artboards become one around all visible art.
bool CreateSingleArtboard(const nlohmann::json& job);
// Removes the swatches whose colour no art uses, except "[None]", "[Registration]", "White" and
// "Black"; false when the document's colours can't be walked.
bool CleanSwatches();

// Deletes the symbols that nothing in the document uses (instances anywhere, arrowheads of styles
// and graphic styles). False, deleting nothing, when the uses can't be found or the symbols can't
// be counted.
bool CleanSymbols();

// Writes the current document as a native file at the path through the save-a-copy action with
// the job's "ai..." options. False with the error set when a step fails.
bool ExportAi(const nlohmann::json& job, const std::string& filePath, std::string& error);
