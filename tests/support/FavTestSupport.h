// Helpers of the tests that use the store: records, collections and the edits a user makes
// to them. Header-only; its users link the store.
#pragma once

#include "FavUtils.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace favtest {

// An item record: parent|position|type|id|path|alias.
inline std::string R(int parent, int position, int type, int id, const std::string& path,
                     const std::string& alias) {
    return IntToStrLen(parent, 9) + "|" + IntToStrLen(position, 3) + "|" + std::to_string(type) +
           "|" + std::to_string(id) + "|" + path + "|" + alias;
}

inline void Fill(TFavoriteItems& items, const std::vector<std::string>& records, int lastID) {
    items.SetItems(TStringList(records));
    items.SetLastID(lastID);
}

// The records in the collection's sorted order.
inline std::vector<std::string> Sorted(std::vector<std::string> records) {
    TStringList list(std::move(records));
    list.Sort();
    return list.Lines();
}

// A change of a collection, as the Add and Edit dialogs make them.
using Edit = std::function<void(TFavoriteItems&)>;

// The first record with the id.
inline std::string RecordOf(const TFavoriteItems& items, int id) {
    for (const std::string& r : items.Items())
        if (GetIntPart(r, 3, '|') == id)
            return r;
    ADD_FAILURE() << "no record with id " << id;
    return {};
}

inline Edit Add(int type, int parent, std::string path, std::string alias) {
    return [=](TFavoriteItems& items) { items.AddItem(type, parent, path, alias); };
}
inline Edit AddGroup(int parent, std::string alias, std::vector<std::string> files) {
    return [=](TFavoriteItems& items) {
        TStringList request{"5", alias};
        for (const std::string& f : files)
            request.Add(f);
        int id = parent;
        items.AddItems(id, &request);
    };
}
inline Edit Rename(int id, std::string alias) {
    return [=](TFavoriteItems& items) { items.ChangeAlias(RecordOf(items, id), alias); };
}
inline Edit Repoint(int id, std::string path) {
    return [=](TFavoriteItems& items) { items.ChangeFileName(RecordOf(items, id), path); };
}
inline Edit Remove(int id) {
    return [=](TFavoriteItems& items) {
        items.Items().Delete(items.Items().IndexOf(RecordOf(items, id)));
    };
}
inline Edit Exchange(int a, int b) {
    return [=](TFavoriteItems& items) {
        std::string ra = RecordOf(items, a), rb = RecordOf(items, b);
        items.ExchangeItems(ra, rb);
    };
}
// Puts the item under another parent at a position.
inline Edit Move(int id, int parent, int position) {
    return [=](TFavoriteItems& items) {
        const std::string r = RecordOf(items, id);
        const std::string rest = r.substr(r.find('|', r.find('|') + 1));
        items.SetItem(items.Items().IndexOf(r),
                      IntToStrLen(parent, 9) + "|" + IntToStrLen(position, 3) + rest);
    };
}
inline Edit Then(Edit first, Edit second) {
    return [=](TFavoriteItems& items) {
        first(items);
        second(items);
    };
}

} // namespace favtest
