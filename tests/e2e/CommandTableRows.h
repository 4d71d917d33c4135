// The plug-in's command table as the tests walk it: each row's name, route and ways in, read from
// the same list the plug-in builds its table from.
#pragma once

#include "core/CommandRows.h"

struct Row {
    const char* name;
    Route route;
    unsigned ways;

    bool RepliesWithJson() const { return ::RepliesWithJson(route); }
};

inline constexpr Row kRows[] = {
#define PLIM_TEST_ROW(name, member, route, ways) {name, Route::route, ways},
    PLIM_COMMAND_ROWS(PLIM_TEST_ROW)
#undef PLIM_TEST_ROW
};
