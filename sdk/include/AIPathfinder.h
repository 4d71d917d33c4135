// The pathfinder: shape operations that combine paths and compound paths into new art and consume
// their operands.
#pragma once

#include "AIArt.h"
#include "SPMessageData.h"
#include "SPTypes.h"

#define kAIPathfinderSuite "AI Pathfinder Suite"
constexpr ASInt32 kAIPathfinderSuiteVersion = 1007;

// How the host works out the shapes.
struct AIPathfinderOptions {
    AIReal precision;  // how finely curves are followed, in points of deviation times 100
    ai::int32 flags;   // option bits; none are defined yet and 0 is the only value used
};

// The values the colour-mixing and trapping variants of the pathfinder read; the shape operations
// carry them along unchanged.
struct AIPathfinderParameters {
    AIReal mixingRatio;
    AIReal mixingConvertToProcess;
    AIReal trapThickness;
    AIReal trapHeightWidthRatio;
    AIReal trapTintReduction;
    AIReal trapConvertToProcess;
    AIReal trapReverse;
};

// One operation: the operands in, the result out.
struct AIPathfinderData {
    AIPathfinderOptions options;
    AIPathfinderParameters parameters;
    AIArtHandle* operands;  // the art to combine
    ai::int32 operandCount;
    AIArtHandle result;  // written by the operations that report their result; else null
};

// The message of a menu filter that started the operation; plug-ins pass one filled with zeros.
struct AIFilterMessage {
    SPMessageData d;
    void* filter;
    void* parameters;
};

// Every operation needs at least one operand; every operand must be a path or compound path, or
// a group of them (text, placed art, rasters and symbol instances are refused with
// kBadParameterErr, before anything changes). On success the operands are disposed of and the new
// art takes their place in the stacking order. kCantHappenErr: the shapes leave nothing (two
// shapes that do not meet, intersected); nothing changes then.
struct AIPathfinderSuite {
    // One shape covering every operand; it takes the paint of the front-most operand.
    AIErr (*DoUniteEffect)(AIPathfinderData* data, AIFilterMessage* message);
    // The area every operand covers; paint of the front-most.
    AIErr (*DoIntersectEffect)(AIPathfinderData* data, AIFilterMessage* message);
    // The area an odd number of operands covers; paint of the front-most.
    AIErr (*DoExcludeEffect)(AIPathfinderData* data, AIFilterMessage* message);
    // The back-most operand less every other; its paint.
    AIErr (*DoBackMinusFrontEffect)(AIPathfinderData* data, AIFilterMessage* message);
    // The front-most operand less every other; its paint.
    AIErr (*DoFrontMinusBackEffect)(AIPathfinderData* data, AIFilterMessage* message);
    // A group of every piece the outlines cut the shapes into, each painted as the front-most
    // operand covering it; reported in data->result.
    AIErr (*DoDivideEffect)(AIPathfinderData* data, AIFilterMessage* message);
    // A group of the visible part of every operand (each less the operands in front of it);
    // reported.
    AIErr (*DoTrimEffect)(AIPathfinderData* data, AIFilterMessage* message);
    // Trim, then the visible parts of operands painted alike united; reported.
    AIErr (*DoMergeEffect)(AIPathfinderData* data, AIFilterMessage* message);
    // A group of every operand but the front-most cut to the front-most, which goes; reported.
    AIErr (*DoCropEffect)(AIPathfinderData* data, AIFilterMessage* message);
    // A group of open paths along the outline of every piece of divide; reported.
    AIErr (*DoOutlineEffect)(AIPathfinderData* data, AIFilterMessage* message);
};
