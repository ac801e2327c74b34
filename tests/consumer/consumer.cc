// An integrator's program: issues a serial number from a database that
// `quillet init --demo` made, through the installed headers and library only.
//
//   quillet_consumer DB_FILE   prints the version, a serial number, the error
//                              of a second init and one call by name
#include <quillet/dispatch.h>
#include <quillet/quillet.h>
#include <quillet/version.h>

#include <iostream>
#include <memory>
#include <set>
#include <string>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: quillet_consumer DB_FILE\n";
    return 2;
  }
  std::cout << "quillet " << QUILLET_VERSION_STRING << "\n";
  std::shared_ptr<quillet::Login> login = std::make_shared<quillet::ConfiguredLogin>(
      std::string("sqlite:") + argv[1], std::set<std::string>{});
  quillet::clsQuillet component;
  component.init(login);

  auto values = std::make_shared<quillet::XmlDocument>();
  values->loadXML(
      "<data><row name='vchdate' value='2024-05-06' itype='0' bHave='true'/>"
      "<row name='department' value='0101' itype='2' bHave='true'/>"
      "<row name='cinvcode' value='LW-FL-300'/></data>");
  std::string item;
  std::string message;
  std::cout << "serial number " << component.getSNumber(item, values, message) << "\n";

  // An error raised inside the library is caught here by its type: a second
  // init is refused.
  try {
    component.init(login);
  } catch (const quillet::Error& error) {
    std::cout << "error " << error.number() << "\n";
  }
  quillet::Dispatcher dispatcher(component, login);
  std::cout << quillet::ResponseLine(
                   dispatcher.Call("GetContrapose", {{"cDataType", "2"}, {"cSeed", "03"}}))
            << "\n";
  return 0;
}
