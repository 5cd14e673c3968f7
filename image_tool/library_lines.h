#pragma once
// The image objects report on the console as the copy program needs; the tool
// speaks for itself and says what went wrong in its own words, so it keeps
// their lines off standard output while it uses them.

class CQuietLibraryLines {
public:
    CQuietLibraryLines();   // from now on the objects' lines are dropped
    ~CQuietLibraryLines();  // and go to standard output again
    CQuietLibraryLines(const CQuietLibraryLines&) = delete;
    CQuietLibraryLines& operator=(const CQuietLibraryLines&) = delete;
};
