// A program that is not the installer, for tn-pack's stub checks: only its
// resources matter.
int main() { return 0; }
