#include <iostream>
int main() {
  std::cerr << "quillet: not built yet\n";
  return 2;
}
