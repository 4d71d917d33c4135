// The changes a command makes to the art tree, kept until the command knows it succeeded: a
// command that fails part way takes them back, so that it leaves the document as it found it.
#pragma once

#include <vector>

#include "art/ArtList.h"

class ArtChanges {
public:
    ArtChanges() = default;
    // Takes the changes back unless they were kept.
    ~ArtChanges();
    ArtChanges(const ArtChanges&) = delete;
    ArtChanges& operator=(const ArtChanges&) = delete;

    // Makes new art of the type at the place (the host's NewArt); null when the host refuses.
    ArtObject* New(ai::int16 type, ai::int16 placement, ArtObject* target);
    // Copies the art to the place (the host's DuplicateArt); null when the host refuses.
    ArtObject* Duplicate(ArtObject* art, ai::int16 placement, ArtObject* target);
    // Moves the art to the place (the host's ReorderArt), remembering where it stood; false when
    // the host refuses or can't tell where the art stands.
    bool Move(ArtObject* art, ai::int16 placement, ArtObject* target);
    // Art that another operation made: disposed of when the changes are taken back.
    void Made(ArtObject* art);

    // The changes stay.
    void Keep() { fChanges.clear(); }
    // Takes the changes back now, the newest first: moved art returns to its place, made art is
    // disposed of.
    void TakeBack();

private:
    struct Change {
        ArtObject* art = nullptr;
        bool made = false;
        ArtObject* container = nullptr;  // moved art: its container before the move
        ArtObject* above = nullptr;      // moved art: the sibling directly in front of it, if any
    };
    std::vector<Change> fChanges;
};
