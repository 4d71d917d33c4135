// "version" tells a client which build it talks to and where the plug-in is installed; "comment"
// only answers, so that clients can put remarks into batches.
#include <cstdio>

#include "core/Json.h"
#include "core/PlimUtilsPlugin.h"
#include "core/PluginPath.h"

namespace {

constexpr int kBuildNumber = 5095;
constexpr int kSDKVersionMajor = 40;
constexpr int kSDKVersionMinor = 1;

// The host interface version, each number in hexadecimal.
std::string SDKVersionText() {
    char text[32];
    std::snprintf(text, sizeof text, "%x.%x", kSDKVersionMajor, kSDKVersionMinor);
    return text;
}

}  // namespace

std::string PlimUtilsPlugin::Version(std::string request) {
    const json parsed = ParseRequest(request);
    json reply = StartReply("version", parsed);
    reply["version"] = "1.0." + std::to_string(kBuildNumber);
    reply["timeStamp"] = std::string(PLIM_BUILD_DATE) + " " + PLIM_BUILD_TIME;
    reply["SDK"] = SDKVersionText();
    if (std::string path; GetPluginPath(path)) {
        reply["pluginPath"] = path;
    }
    return DumpReply(reply);
}

std::string PlimUtilsPlugin::Comment(std::string request) {
    return DumpReply(StartReply("comment", ParseRequest(request)));
}
