#pragma once
// Keeps two installers from extracting into the same folder at once: after a
// relaunch both may be running, in update mode both at once. The worker holds
// the lock from before its first write until just before its quit message;
// an installer that finds it held waits, then writes over the finished files.

#include <string>

#include "framework/Handles.h"

class TargetFolderLock {
public:
    // Waits as long as another installer holds the folder. A holder that
    // ended without letting go (its user closed it mid-run) counts as gone.
    explicit TargetFolderLock(const std::wstring& folder);
    ~TargetFolderLock();
    TargetFolderLock(const TargetFolderLock&) = delete;
    TargetFolderLock& operator=(const TargetFolderLock&) = delete;

    // Lets go now; the thread may end without running destructors afterwards.
    void Release();

    // Whether another installer held the folder when this one came: that one
    // has finished it since and started the product from it.
    bool WaitedForAnother() const { return m_waited; }

private:
    tn::UniqueHandle m_mutex;
    bool m_owned = false;
    bool m_waited = false;
};
