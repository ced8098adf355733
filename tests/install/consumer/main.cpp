// A host program built against the installed component: fills a data model held the way hosts
// hold it and prints some of its cells as formatted text.
#include <source_view4/source_view4.h>

#include <cstdint>
#include <iostream>
#include <string>

#include <utilkit2/smart_pointer.h>

namespace {

// The printed texts are ASCII.
std::string narrow(const std::wstring& text) {
  std::string out;
  for (wchar_t c : text) out += static_cast<char>(c);
  return out;
}

}  // namespace

int main() {
  using namespace source_view4;
  utilkit2::smart_pointer_t<data_model_t> model(new data_model_t);
  model->set_row_count(2);
  model->set_source(0, L"a\tb");
  model->set_data(1, 5, data_container_t<std::uint64_t>(6699));
  model->set_data(1, 6, data_container_t<double>(0.1234));
  std::cout << "rows=" << model->get_row_count() << " source=["
            << narrow(model->get_text_data(0, source_column)) << "] hex=["
            << narrow(model->get_text_data(1, 5)) << "] fraction=["
            << narrow(model->get_text_data(1, 6)) << "]\n";
  return 0;
}
