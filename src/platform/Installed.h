#pragma once

// The one instance of T the program or a test has installed for everyone to use (not owned),
// or null. Editors, the prompter and the like are reached this way so that tests can put
// scripted ones in their place.
template <class T> class Installed
{
public:
    static T* get() { return current_; }
    // Returns the one installed before.
    static T* install(T* next)
    {
        T* previous = current_;
        current_ = next;
        return previous;
    }

    // Installs an instance for the life of a scope and then puts the previous one back.
    class Scope
    {
    public:
        explicit Scope(T* next) : previous_(install(next)) {}
        ~Scope() { install(previous_); }
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        T* previous_;
    };

private:
    static inline T* current_ = nullptr;
};
