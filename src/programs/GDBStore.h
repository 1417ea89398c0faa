#pragma once

#include "core/services/GDBManager.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orvenda {

class Calculator;
class YEqModel;

// The graph databases, one file per database in a folder (the "GDB" folder of the app's
// data), named by the database with no extension: "GDB0".."GDB9" or an imported name.
// Names that could leave the folder (separators, ".", "..", NUL) or are empty are refused.
// Files are replaced atomically, so a failed write keeps the previous database. Main thread.
class GDBStore : public GDBManager {
public:
    using Bytes = std::vector<std::uint8_t>;

    GDBStore(Calculator& calc, std::shared_ptr<YEqModel> equations, std::string directory);

    static bool validName(std::string_view name);

    // The databases in the folder, sorted ignoring case; with includeUndefined also the
    // standard names not yet stored.
    std::vector<std::string> names(bool includeUndefined) const override;
    bool isSaved(const std::string& name) override;
    // Stores the current graph set-up; false when nothing was written.
    bool save(const std::string& name) override;
    bool save(const std::string& name, std::span<const std::uint8_t> data);
    // The stored bytes; nothing when there is no readable file or it is longer than a
    // body's length word can say.
    std::optional<Bytes> data(const std::string& name) const;
    // Applies a stored database: 0, 69 when there is none, 74 when the file is damaged,
    // 29 when an equation in it refers to itself. Nothing changes on an error.
    int recall(const std::string& name) override;
    void remove(const std::string& name) override;

protected:
    bool saveData(const std::string& name, std::span<const std::uint8_t> bytes) override { return save(name, bytes); }
    std::optional<Bytes> storedData(const std::string& name) const override { return data(name); }

private:
    std::string path(const std::string& name) const;

    Calculator& calc_;
    std::shared_ptr<YEqModel> equations_;
    std::string directory_;
};

} // namespace orvenda
