#pragma once

// Shows the wait cursor for the life of a scope. Nested guards stack; without a running
// application (or on a platform without cursors) it does nothing.
class WaitCursor
{
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    bool active_ = false;
};
