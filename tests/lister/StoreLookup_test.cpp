#include "lister/StoreLookup.h"

#include <gtest/gtest.h>

#include <string>

#include "foundation/TStringList.h"

namespace {

// The lookup through the table gives what the store's own lookup gives, line by line.
TEST(StoreLookup, AnswersAsTheStoreItselfDoes) {
  TStringList store;
  for (const char* line : {"backup.cmd=12/9/2026 2:30:00 PM", "BACKUP.CMD=12/10/2026 2:30:00 PM",
                           "no name here", "=12/1/2026 1:00:00 AM", "run.exe /level|full=x",
                           "short=", "Caf\xE9=1/1/2026", "dup=first", "dup=second"})
    store.Append(line);
  const StoreLookup lookup(store);
  for (const char* name : {"backup.cmd", "Backup.Cmd", "BACKUP.CMD", "no name here", "", "run.exe /level|full",
                           "run.exe /level=full", "short", "caf\xE9", "CAF\xC9", "dup", "missing",
                           "backup"})
    EXPECT_EQ(lookup.ValueOf(name), store.ValueOf(name)) << "'" << name << "'";
}

}  // namespace
