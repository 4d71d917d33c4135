#include "model/Status.h"

namespace host::model {

const char* statusName(Status status) {
    switch (status) {
        case Status::ok:
            return "ok";
        case Status::invalidHandle:
            return "invalid handle";
        case Status::badParameter:
            return "bad parameter";
        case Status::notFound:
            return "not found";
        case Status::wrongType:
            return "wrong type";
        case Status::notAllowed:
            return "not allowed";
    }
    return "unknown";
}

}  // namespace host::model
