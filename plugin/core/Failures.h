// Failure and warning texts that more than one command answers, defined once.
#pragma once

inline constexpr const char* kNoArtworkFound = "No artwork found";
inline constexpr const char* kTaggedArtNotFound = "Tagged art not found";
inline constexpr const char* kDocumentNotFound = "Document not found";
inline constexpr const char* kNoValidMode = "No valid mode";
inline constexpr const char* kCantGetArtboard = "Can't get an artboard";
inline constexpr const char* kCantGetArtboardPosition = "Can't get an artboard position";
inline constexpr const char* kKeyArtNotFound = "Key art not found";
inline constexpr const char* kLayerNotFound = "Layer not found";
inline constexpr const char* kNamedStyleNotFound = "Named style not found";
inline constexpr const char* kNotImplementedYet = "Not implemented yet";
inline constexpr const char* kUnexpectedFailure = "Unexpected failure";
// A script message or batch entry naming no command; the name follows.
inline constexpr const char* kUnknownEventType = "Unknown event type: ";
inline constexpr const char* kUnknownBatchEventType = "Unknown eventType: ";

// Objects a geometry command left as they were, while it moved others.
inline constexpr const char* kUnmeasuredWarning = "Objects whose bounds can't be read were left as they were";
inline constexpr const char* kRefusedWarning =
    "Objects the application refused to transform were left as they were";
// No found object could be moved or transformed.
inline constexpr const char* kAllRefused = "The application refused to transform the objects";
