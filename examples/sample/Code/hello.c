#include <stdio.h>

int main(void) {
  puts("hello, listing");
  return 0;
}
