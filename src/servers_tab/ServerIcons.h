#pragma once

#include <QIcon>

// The pictures of the servers list, drawn by the program: 16x16 each.
class ServerIcons {
public:
    enum Index {
        QuestionMark = 1, // never queried
        GreyEmblem = 2,   // waiting for a reply
        GreenEmblem = 3,  // answered
        RedEmblem = 4,    // no reply
        Clock = 5,        // ping taken from the last session
        Transparent = 6,  // ping measured in this session
    };
    // The icon at a 1-based index; `ghosted` draws it dimmed.
    static const QIcon &icon(int index, bool ghosted = false);
    // The same icon with the small bell of a watched server in its lower right corner and the
    // padlock of a server that needs a password in its lower left, beside the bell.
    static const QIcon &marked(int index, bool ghosted, bool watched, bool locked);
    // Two computers linked to a globe, for the re-ping-all button.
    static QIcon refreshAll();
};
