// Document: the document the application holds open is a document of the host's model
// (host::model::Document, a copyable value; see host/model/Document.h and docs/document-format.md).
// The application creates, replaces and closes it; the suites work on it.
#pragma once

#include "model/Document.h"

namespace host {

using Document = model::Document;

}  // namespace host
