#include "app/ErrorText.h"

#include <exception>

#include "foundation/Exception.h"

std::string ErrorBoxText(std::string_view message) {
  std::string text(message);
  if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') text += '.';
  return text;
}

std::string CurrentErrorMessage() {
  try {
    throw;
  } catch (const Exception& error) {
    return error.Message();
  } catch (const std::exception& error) {
    return error.what();
  } catch (...) {
    return {};
  }
}

std::string ErrorMessageOf(std::exception_ptr error) {
  try {
    std::rethrow_exception(error);
  } catch (...) {
    return CurrentErrorMessage();
  }
}
