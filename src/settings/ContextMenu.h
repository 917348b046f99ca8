// The "Compile" verb and the "Compile in" menu in the context menu of MQL4 and MQL5 sources.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

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

// A terminal as "Compile in" lists it.
struct MenuTerminal {
    std::wstring name;
    std::wstring folder;
};

// The entries for one kind of source file.
struct SourceMenu {
    std::wstring extension; // with its dot
    std::wstring
        fileClass; // MetaEditor's class of these files, which gets the verb itself; "": none
    std::vector<MenuTerminal> terminals; // "Compile in" lists them when there are two or more
};

// Registers, for each kind of source, the verb with the running executable's command under the
// first root, and under the fallback when a key there cannot be created or written: on
// MetaEditor's class, and, while the files belong to another class or to none, on every file of
// that kind, unless another program's entry is there. Writes "Compile in" whole in the user's
// own classes, or removes it when there are fewer than two terminals. Failures are silent.
void SetKeys(const std::vector<SourceMenu>& menus, const ClassesRoot& first = MachineClasses(),
             const ClassesRoot& user = UserClasses()) noexcept;

// Removes the verbs and "Compile in" from both roots, each removal independent of the others;
// the entries on every file as DeleteEntriesOnEveryFile does. Failures are silent.
void DeleteKeys(const std::vector<SourceMenu>& menus, const ClassesRoot& first = MachineClasses(),
                const ClassesRoot& user = UserClasses()) noexcept;

// Removes "Compile in" and the verb on every file of each kind from both roots, the verb where it
// is Tarvex's own: where its command names a program of that file name (empty: the running
// executable's); with the keys above them that they leave empty. Failures are silent.
void DeleteEntriesOnEveryFile(const std::vector<SourceMenu>& menus, const ClassesRoot& first,
                              const ClassesRoot& fallback,
                              const std::wstring& program = {}) noexcept;

} // namespace settings
