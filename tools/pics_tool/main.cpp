#include <cstdio>

int main() {
    fprintf(stderr, "pics_tool: not built yet\n");
    return 2;
}
