#include "model/FontTable.h"

#include <cstdint>
#include <map>

#include "ports/IFontHandles.h"

namespace vortrel {

namespace {

struct Table {
    std::map<int32_t, LogFont> fonts;
    int32_t next = 1;
};

Table& TheTable() {
    static Table table;
    return table;
}

}  // namespace

int32_t FontTable::Create(const LogFont& font) {
    if (auto platform = GetFontHandles()) {
        return platform->Create(font);
    }
    Table& table = TheTable();
    auto following = [](int32_t handle) { return handle == INT32_MAX ? 1 : handle + 1; };
    // Handles are not reused soon after deletion; on wrap-around those in use are skipped.
    while (table.fonts.count(table.next) != 0) {
        table.next = following(table.next);
    }
    const int32_t handle = table.next;
    table.next = following(handle);
    table.fonts[handle] = font;
    return handle;
}

bool FontTable::Get(int32_t handle, LogFont& font) {
    if (auto platform = GetFontHandles()) {
        return platform->Get(handle, font);
    }
    const Table& table = TheTable();
    auto it = table.fonts.find(handle);
    if (it == table.fonts.end()) {
        return false;
    }
    font = it->second;
    return true;
}

bool FontTable::Delete(int32_t handle) {
    if (auto platform = GetFontHandles()) {
        return platform->Delete(handle);
    }
    return TheTable().fonts.erase(handle) != 0;
}

}  // namespace vortrel
