#pragma once
// The application's shell manager. The program asks nothing of the shell
// through it, so it holds no state; start-up creates and deletes it as MFC
// applications do.

class CShellManager {
public:
    CShellManager() = default;
};
