#pragma once

// Every interval the program waits on, in one place, so tests can shorten them.
struct Timing {
    int queryWindowMs = 3000;   // a server's reply window
    int resendAfterMs = 1000;   // no reply yet: the request goes once more within the window
    int listTickMs = 500;       // the servers list brings its rows up to date
    int requeryEveryTicks = 25; // the servers list re-queries every server this often
    int infoRefreshMs = 10000;  // the details window re-queries its server
    int statsTickMs = 65000;    // the stats recorder looks for a new page
    int pingTimeoutMs = 700;    // an ICMP echo gives up
    int notifyEveryMs = 60000;  // at most one notification per server this often
    int saveDelayMs = 1000;     // the preferences are written this long after a change
    int lanSearchMs = 3000;     // a search of the local network gathers answers this long
};
