#pragma once
// Brings an older document up to the current layout while the store opens it.
#include <tinyxml.h>

#include <string>
#include <string_view>

namespace quillo::store {

// "a.b.c" as a*1000000 + b*1000 + c; each part by its leading digits, a missing part is 0.
long long VersionNumber(std::string_view version);

// Whether RunMigration would convert the document (its root's version is older than the layout).
bool MigrationApplies(const TiXmlDocument& document);

// Runs the conversions that apply to the document's root `version` and sets it to the current
// version. data_folder locates the default lyric folder. Answers whether anything changed.
bool RunMigration(TiXmlDocument& document, const std::string& data_folder);

}  // namespace quillo::store
