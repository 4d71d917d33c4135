// The writers of PDF, SVG and EPS export jobs: a parameter block of the host's save-a-copy action
// filled from the job's option keys (with the setters of VectorExport.h), then the action
// "host_saveACopyAs" played with dialogs off. Each answers false with the reason in error at the
// first step that fails; a present option of the wrong JSON type, or a number outside what its
// host key holds, fails its step, also where the host's refusal of the value is passed over.
#pragma once

#include <string>

#include <nlohmann/json.hpp>

bool ExportEps(const nlohmann::json& job, const std::string& path, std::string& error);
bool ExportSvg(const nlohmann::json& job, const std::string& path, std::string& error);
bool ExportPdf(const nlohmann::json& job, const std::string& path, std::string& error);

// The writer of a vector format written by this file ("pdf", "svg", "eps"); false with "File type
// not supported" for another.
bool ExportVectorFormat(const nlohmann::json& job, const std::string& format, const std::string& path,
                        std::string& error);
