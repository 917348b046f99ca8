// The "Compile" verb in the context menu of MQL4 sources.
#pragma once

#include <windows.h>

#include <string>

namespace settings {

// Where file classes are registered: a root key and the path of the classes under it.
struct ClassesRoot {
    HKEY root;
    std::wstring path; // "" or ending in a backslash
};

// HKEY_CLASSES_ROOT: what a program running with a standard account may not write when the
// class was registered for the whole machine.
ClassesRoot MachineClasses();
// The current user's own classes, which Explorer merges into HKEY_CLASSES_ROOT for that user.
ClassesRoot UserClasses();

// Registers the verb with the running executable's command under the first root, and under
// the fallback when a key there cannot be created or written: on MetaEditor's class of
// sources, and, while .mq4 belongs to another class or to none, on every .mq4 file, unless
// another program's entry is there. Failures are silent.
void SetKeys(const ClassesRoot& first = MachineClasses(),
             const ClassesRoot& fallback = UserClasses()) noexcept;

// Removes both verbs from both roots, each removal independent of the other; the one on every
// .mq4 file as DeleteEntriesOnEveryFile does. Failures are silent.
void DeleteKeys(const ClassesRoot& first = MachineClasses(),
                const ClassesRoot& fallback = UserClasses()) noexcept;

// Removes the verb on every .mq4 file from both roots where it is Tarvex's own: where its
// command names a program of that file name (empty: the running executable's), with the keys
// above it that it leaves empty. Failures are silent.
void DeleteEntriesOnEveryFile(const ClassesRoot& first, const ClassesRoot& fallback,
                              const std::wstring& program = {}) noexcept;

} // namespace settings
