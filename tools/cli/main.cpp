// orvane-cli: the headless front end (decode, replay, capture).
#include <cstdio>

int main() {
    std::fputs("orvane-cli: no command yet\n", stderr);
    return 2;
}
