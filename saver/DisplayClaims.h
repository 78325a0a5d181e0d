#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>

class KORLANFlowScreenSaverView;

// Which saver view renders on which display, for the whole process. Views
// are held weakly: one that has gone reads as absent, and the table never
// keeps a view alive. The table is its own lock (recursive, so a claim may
// read and write under one hold); a read-then-write runs under one hold.
class KORLANFlowDisplayTable {
public:
    void lock() { mutex_.lock(); }
    void unlock() { mutex_.unlock(); }
    bool try_lock() { return mutex_.try_lock(); }

    // Null when nobody is entered, or the view entered has gone.
    std::shared_ptr<KORLANFlowScreenSaverView> viewForDisplay(std::int64_t display);
    void setViewForDisplay(std::int64_t display, const std::shared_ptr<KORLANFlowScreenSaverView>& view);
    void removeViewForDisplay(std::int64_t display);

private:
    std::recursive_mutex mutex_;
    std::map<std::int64_t, std::weak_ptr<KORLANFlowScreenSaverView>> views_;
};

// The one table of the process: made on the first call, also under
// concurrent first calls, and never destroyed, so views released while the
// process exits still find it.
KORLANFlowDisplayTable& KORLANFlowActiveViewsByDisplay();
