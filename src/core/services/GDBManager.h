#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace orvenda {

// The graph databases "GDB0".."GDB9" (or other names) stored in the documents folder.
// The graph screens register the one instance; with none registered every database is
// missing and saving or deleting does nothing.
class GDBManager {
public:
    virtual ~GDBManager() = default;

    static void setShared(std::shared_ptr<GDBManager> manager);
    static std::shared_ptr<GDBManager> shared();

    // Whether the named database file exists.
    static bool isSavedGDB(const std::string& name);
    // Writes the current window, equations and formats under the name; false when
    // nothing could be written (or no manager is registered).
    static bool saveGDB(const std::string& name);
    // Stores a database's bytes as they are (one that arrived in a file); false when
    // nothing was written.
    static bool saveGDB(const std::string& name, std::span<const std::uint8_t> data);
    // The stored bytes of a database; nothing when there is none.
    static std::optional<std::vector<std::uint8_t>> getGDBData(const std::string& name);
    static void deleteGDB(const std::string& name);
    // Applies the stored database to the graph settings and equations: 0, or an error
    // number (69 when there is no such database or no manager).
    static int recallGDB(const std::string& name);
    // The stored databases for the name menus, sorted ignoring case; with includeUndefined
    // also the standard names not yet stored. None when no manager is registered.
    static std::vector<std::string> gdbNames(bool includeUndefined);

protected:
    virtual bool isSaved(const std::string& name) = 0;
    virtual bool save(const std::string& name) = 0;
    virtual bool saveData(const std::string& /*name*/, std::span<const std::uint8_t> /*data*/) { return false; }
    virtual std::optional<std::vector<std::uint8_t>> storedData(const std::string& /*name*/) const
    {
        return std::nullopt;
    }
    virtual void remove(const std::string& name) = 0;
    virtual int recall(const std::string& name);
    virtual std::vector<std::string> names(bool includeUndefined) const;
};

} // namespace orvenda
