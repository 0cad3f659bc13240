// The application object: the program's one instance, started by RunApplication.
#pragma once

class Application {
 public:
  Application() = default;
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;
  virtual ~Application() = default;

  // Sets the program up, usually running its main window modally. True keeps the process
  // in a message loop until WM_QUIT; false ends it at once.
  virtual bool InitInstance() = 0;
  // Runs last; its result is the process's exit code.
  virtual int ExitInstance() { return 0; }
};

// Runs `app`: InitInstance, the message loop when it asked for one, then ExitInstance.
int RunApplication(Application& app);
