#include "saver/DisplayClaims.h"

#include "saver/KORLANFlowScreenSaverView.h"

#include "platform/dispatch/Once.h"
#include "platform/view/Screen.h"

std::shared_ptr<KORLANFlowScreenSaverView> KORLANFlowDisplayTable::viewForDisplay(std::int64_t display) {
    std::scoped_lock guard(mutex_);
    const auto entry = views_.find(display);
    return entry == views_.end() ? nullptr : entry->second.lock();
}

void KORLANFlowDisplayTable::setViewForDisplay(std::int64_t display,
                                               const std::shared_ptr<KORLANFlowScreenSaverView>& view) {
    std::scoped_lock guard(mutex_);
    views_[display] = view;
}

void KORLANFlowDisplayTable::removeViewForDisplay(std::int64_t display) {
    std::scoped_lock guard(mutex_);
    views_.erase(display);
}

KORLANFlowDisplayTable& KORLANFlowActiveViewsByDisplay() {
    static dispatch::OnceToken token;
    static KORLANFlowDisplayTable* table = nullptr;
    dispatch::once(token, [] { table = new KORLANFlowDisplayTable; });
    return *table;
}

std::optional<std::int64_t> KORLANFlowScreenSaverView::currentDisplayIdentifier() const {
    const auto shownIn = window();
    const auto screen = shownIn ? shownIn->screen() : nullptr;
    if (!screen) return std::nullopt;
    const auto& description = screen->deviceDescription();
    const auto entry = description.find(view::kScreenNumberKey);
    if (entry == description.end()) return std::nullopt;
    // Only a number tells displays apart; text under the key is no number.
    const auto* number = std::get_if<std::int64_t>(&entry->second);
    return number ? std::optional(*number) : std::nullopt;
}

void KORLANFlowScreenSaverView::claimCurrentDisplay() {
    const auto display = currentDisplayIdentifier();
    if (!display) return;
    std::shared_ptr<KORLANFlowScreenSaverView> previous;
    {
        auto& table = KORLANFlowActiveViewsByDisplay();
        std::scoped_lock guard(table);
        previous = table.viewForDisplay(*display);
        table.setViewForDisplay(*display, self());
        claimedDisplayIdentifier_ = display;
    }
    // Outside the lock: the displaced view's teardown unregisters itself and
    // waits for the GPU, and nobody else should wait on the table meanwhile.
    if (previous && previous.get() != this) previous->suspendBecauseReplacedOnDisplay();
}

void KORLANFlowScreenSaverView::unregisterActiveDisplayClaim() {
    if (!claimedDisplayIdentifier_) return;
    const std::int64_t display = *claimedDisplayIdentifier_;
    auto& table = KORLANFlowActiveViewsByDisplay();
    std::scoped_lock guard(table);
    // A newer view's entry stays. An entry that reads as gone is this
    // view's own: every view unregisters in its destructor, where its own
    // entry already reads as gone.
    const auto entered = table.viewForDisplay(display);
    if (!entered || entered.get() == this) table.removeViewForDisplay(display);
    claimedDisplayIdentifier_.reset();
}
