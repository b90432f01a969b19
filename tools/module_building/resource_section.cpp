#include "module_building/resource_section.h"

#include <algorithm>

#include "base/byte_order.h"

namespace vykcn::tool {
namespace {

constexpr uint32_t kHighBit = 0x80000000u;  // an entry's name is a string; its target a table
constexpr size_t kTableHeaderSize = 16, kEntrySize = 8, kDataEntrySize = 16;
constexpr size_t kAlignment = 8;  // of the strings as a whole, and of each resource's data

size_t AlignUp(size_t value) { return (value + kAlignment - 1) & ~(kAlignment - 1); }

bool SameName(const ResourceName& a, const ResourceName& b) {
  return a.isString == b.isString && (a.isString ? a.units == b.units : a.id == b.id);
}

// One directory table: its entries, each a name and what it points to (a table, or a data entry).
struct Table {
  struct Entry {
    const ResourceName* name;
    size_t target;  // index of a table, or of a resource when the table is a language table
  };
  std::vector<Entry> entries;
  bool languages = false;
  size_t offset = 0;
};

}  // namespace

std::vector<uint8_t> WriteResourceSection(const std::vector<PeResource>& resources, uint32_t sectionRva) {
  // The tables in the order they are written: the root, then each type's table followed by the
  // language tables of its names.
  std::vector<Table> tables(1);
  std::vector<ResourceName> languageNames(resources.size());
  for (size_t i = 0; i < resources.size();) {
    const ResourceName& type = resources[i].type;
    const size_t typeTable = tables.size();
    tables[0].entries.push_back({&type, typeTable});
    tables.emplace_back();
    while (i < resources.size() && SameName(resources[i].type, type)) {
      const ResourceName& name = resources[i].name;
      const size_t languageTable = tables.size();
      tables[typeTable].entries.push_back({&name, languageTable});
      tables.emplace_back();
      tables[languageTable].languages = true;
      for (; i < resources.size() && SameName(resources[i].type, type) && SameName(resources[i].name, name); ++i) {
        languageNames[i].id = resources[i].language;
        tables[languageTable].entries.push_back({&languageNames[i], i});
      }
    }
  }
  // Named entries come first in each table.
  for (Table& table : tables) {
    std::stable_partition(table.entries.begin(), table.entries.end(),
                          [](const Table::Entry& e) { return e.name->isString; });
  }

  size_t at = 0;
  for (Table& table : tables) {
    table.offset = at;
    at += kTableHeaderSize + kEntrySize * table.entries.size();
  }
  std::vector<size_t> stringAt;  // per table entry with a string name, in writing order
  for (const Table& table : tables) {
    for (const Table::Entry& entry : table.entries) {
      if (!entry.name->isString) continue;
      stringAt.push_back(at);
      at += 2 + 2 * entry.name->units.size();
    }
  }
  at = AlignUp(at);
  const size_t dataEntries = at;
  at += kDataEntrySize * resources.size();
  std::vector<size_t> dataAt(resources.size());
  for (size_t i = 0; i < resources.size(); ++i) {
    dataAt[i] = at;
    at = AlignUp(at + resources[i].data.size());
  }

  std::vector<uint8_t> section(at, 0);
  size_t string = 0;
  for (const Table& table : tables) {
    uint16_t named = 0, numbered = 0;
    for (size_t k = 0; k < table.entries.size(); ++k) {
      const Table::Entry& entry = table.entries[k];
      uint8_t* field = &section[table.offset + kTableHeaderSize + kEntrySize * k];
      if (entry.name->isString) {
        ++named;
        const size_t text = stringAt[string++];
        WriteU32LE(field, kHighBit | uint32_t(text));
        WriteU16LE(&section[text], uint16_t(entry.name->units.size()));
        for (size_t u = 0; u < entry.name->units.size(); ++u) WriteU16LE(&section[text + 2 + 2 * u], entry.name->units[u]);
      } else {
        ++numbered;
        WriteU32LE(field, entry.name->id);
      }
      WriteU32LE(field + 4, table.languages ? uint32_t(dataEntries + kDataEntrySize * entry.target)
                                            : kHighBit | uint32_t(tables[entry.target].offset));
    }
    WriteU16LE(&section[table.offset + 12], named);
    WriteU16LE(&section[table.offset + 14], numbered);
  }
  for (size_t i = 0; i < resources.size(); ++i) {
    uint8_t* entry = &section[dataEntries + kDataEntrySize * i];
    WriteU32LE(entry, sectionRva + uint32_t(dataAt[i]));
    WriteU32LE(entry + 4, uint32_t(resources[i].data.size()));
    WriteU32LE(entry + 8, resources[i].codePage);
    std::copy(resources[i].data.begin(), resources[i].data.end(), section.begin() + std::ptrdiff_t(dataAt[i]));
  }
  return section;
}

}  // namespace vykcn::tool
