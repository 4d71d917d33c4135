// Envelopes: plug-in art that bends the one object it holds.
#pragma once

#include "AIArt.h"
#include "SPTypes.h"

#define kAIEnvelopeSuite "AI Envelope Suite"
constexpr ASInt32 kAIEnvelopeSuiteVersion = 1004;

struct AIEnvelopeSuite {
    // Whether the art is an envelope; false for anything else, unknown handles included.
    AIBoolean (*IsEnvelope)(AIArtHandle art);
    // The object that the envelope holds (null when it holds none); kBadParameterErr when the
    // art is not an envelope.
    AIErr (*GetEnvelopeObject)(AIArtHandle envelope, AIArtHandle* object);
};
