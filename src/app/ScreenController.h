#pragma once

#include <QString>
#include <QRect>
#include <QWidget>

#include <nlohmann/json.hpp>

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

namespace orvenda {

class Calculator;
class NotificationCenter;
struct Notification;

// What a show operation hands the screen it brought forward: the menu id, the statistics
// wizard's op, a matrix or equation number, the catalogue's search text.
struct ScreenRequest {
    int number = 0;
    QString text;
};

// Delivers a notification to `callback` on the owner's thread: at once when posted there,
// else queued, and dropped when the owner is gone by then. Observations are the owner's
// (removed with bus.removeObserver(owner)).
void observeOnOwnerThread(NotificationCenter& bus, QObject* owner, std::string_view name,
    std::function<void(const Notification&)> callback);

// The base of every screen and overlay the router and the root controller bring forward.
// A screen is a widget; the router sizes, shows and hides it and tells it when it comes
// forward or goes back:
//   updateDisplay()  redraw from the model (after coming forward and on display changes);
//   focus(gained)    true for the one screen in front, false for every other;
//   shown(request)   after a show operation brought it forward, with that show's argument.
// A screen listens to the notification bus only while it has the focus: it names its
// observations in subscribe(), with observe(); focus(true) adds them once, focus(false)
// and destruction remove them all. Main thread.
class ScreenController : public QWidget {
public:
    explicit ScreenController(Calculator& calc, QWidget* parent = nullptr);
    ~ScreenController() override;
    ScreenController(const ScreenController&) = delete;
    ScreenController& operator=(const ScreenController&) = delete;

    virtual void updateDisplay() {}
    // Subclasses that do more on focus call this too.
    virtual void focus(bool gained);
    virtual void shown(const ScreenRequest&) {}

    bool listening() const { return listening_; }

    // How the screen is left (its Done, QUIT or Escape): set by whoever shows it, the
    // router or the root controller, which puts back what was there before.
    void setLeave(std::function<void()> leave) { leave_ = std::move(leave); }
    // Leaves the screen as its own control does; nothing when no way back was set.
    void leave();
    // The visible control that leaves the screen, nullptr when the screen has none of its
    // own (the keyboard's QUIT then serves).
    virtual QWidget* leaveControl() const { return nullptr; }
    // Where the line or field being typed is drawn, in the screen; empty when the screen
    // draws none of its own.
    virtual QRect cursorRect() const { return {}; }
    // The field being typed in on the shared entry line, as a save keeps it with the line
    // (a launch going on from that save brings a field screen's line back there): "n" the
    // number its screen was shown with, the rest the screen's own. Null when the line is
    // not the screen's (the home screen's line, kept as such).
    virtual nlohmann::json typedPlace() const { return nullptr; }
    // The field of that place becomes the one typed in; the screen has just come forward.
    virtual void restoreTypedPlace(const nlohmann::json&) {}
    // A whole number of a place, when it holds one in that range.
    static std::optional<int> placeNumber(const nlohmann::json& place, const char* key, int least, int most)
    {
        const auto it = place.is_object() ? place.find(key) : place.end();
        if (!place.is_object() || it == place.end() || !it->is_number_integer())
            return std::nullopt;
        const auto n = it->get<std::int64_t>();
        return n >= least && n <= most ? std::optional<int>(static_cast<int>(n)) : std::nullopt;
    }

protected:
    // Called by focus(true) when not yet listening: the screen's observe() calls.
    virtual void subscribe() {}
    // A notification of the calculator's bus, delivered on the main thread while listening.
    void observe(std::string_view name, std::function<void(const Notification&)> callback);

    Calculator& calc() const { return calc_; }
    // A tablet's text is larger by its 22 points to the phone's 15: the factor on sizes
    // made for the phone.
    static constexpr double kTabletTextScale = 22.0 / 15;
    double textScale() const;

private:
    Calculator& calc_;
    bool listening_ = false;
    std::function<void()> leave_;
};

} // namespace orvenda
