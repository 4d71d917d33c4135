// Commands whose subsystems are still to come. Each answers that it is not implemented yet; the
// work that builds a command removes its line here.
#include "core/Failures.h"
#include "core/Json.h"
#include "core/PlimUtilsPlugin.h"

namespace {

std::string NotImplementedReply(const char* eventType, const std::string& request) {
    json reply = StartReply(eventType, ParseRequest(request));
    reply["error"] = kNotImplementedYet;
    return DumpReply(reply);
}

}  // namespace

#define PLIM_NOT_YET_BUILT(method, eventType)                  \
    std::string PlimUtilsPlugin::method(std::string request) { \
        return NotImplementedReply(eventType, request);        \
    }

PLIM_NOT_YET_BUILT(Text, "text")
