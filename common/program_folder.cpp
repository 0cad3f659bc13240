#include "common/program_folder.h"

std::u16string DataFolderBeside(std::u16string_view modulePath) {
  const std::size_t slash = modulePath.rfind(u'\\');
  std::u16string folder(slash == std::u16string_view::npos ? modulePath : modulePath.substr(0, slash + 1));
  return folder + u"data";
}
