/* The board's ACPI driver, emulated: a kernel driver that creates \Device\HVKACPI (with
 * the link \DosDevices\HVKACPI), accepts method requests on control code 0x0022240C and
 * keeps the power state of the Thunderbolt controller, ACPI device 0x00060057, from the
 * "DEVS" method. Every request is appended as one line to
 * C:\TbtEmulator\out\acpi-requests.txt ("DEVS 0x00060057 0x00000001": the tag, then each
 * 32-bit argument); the power state is the file C:\TbtEmulator\state\power, holding "1"
 * or "0", which the emulated WMI provider reads. The reply is 4 bytes: 0.
 *
 * Requests arrive one at a time on the device host's thread, at passive level, so plain
 * file calls are allowed and nothing needs a lock. */
#include <ddk/wdm.h>

#define ACPI_METHOD_CONTROL 0x0022240CUL
#define TAG_DEVS 0x53564544UL /* "DEVS" */
#define CONTROLLER_DEVICE 0x00060057UL
#define MAX_ARGUMENTS 64 /* bytes of arguments written to the request log */

static UNICODE_STRING device_name = RTL_CONSTANT_STRING(L"\\Device\\HVKACPI");
static UNICODE_STRING link_name = RTL_CONSTANT_STRING(L"\\DosDevices\\HVKACPI");
static UNICODE_STRING log_path = RTL_CONSTANT_STRING(L"\\??\\C:\\TbtEmulator\\out\\acpi-requests.txt");
static UNICODE_STRING power_path = RTL_CONSTANT_STRING(L"\\??\\C:\\TbtEmulator\\state\\power");

static ULONG ReadU32(const UCHAR* p) {
  return (ULONG)p[0] | ((ULONG)p[1] << 8) | ((ULONG)p[2] << 16) | ((ULONG)p[3] << 24);
}

/* Writes `length` bytes to the file at `path`, appended or replacing its contents. */
static void WriteTextFile(PUNICODE_STRING path, const char* text, ULONG length, BOOLEAN append) {
  OBJECT_ATTRIBUTES attributes;
  IO_STATUS_BLOCK io;
  HANDLE file;
  InitializeObjectAttributes(&attributes, path, OBJ_CASE_INSENSITIVE | OBJ_KERNEL_HANDLE, NULL, NULL);
  if (!NT_SUCCESS(ZwCreateFile(&file, append ? FILE_APPEND_DATA | SYNCHRONIZE : GENERIC_WRITE | SYNCHRONIZE,
                               &attributes, &io, NULL, FILE_ATTRIBUTE_NORMAL, FILE_SHARE_READ,
                               append ? FILE_OPEN_IF : FILE_OVERWRITE_IF, FILE_SYNCHRONOUS_IO_NONALERT, NULL, 0))) {
    return;
  }
  ZwWriteFile(file, NULL, NULL, NULL, &io, (PVOID)text, length, NULL, NULL);
  ZwClose(file);
}

static char HexDigit(ULONG v) { return "0123456789ABCDEF"[v & 0xF]; }

/* One line: the tag's four characters, then " 0x%08X" for each whole argument word. */
static void LogRequest(const UCHAR* request, ULONG length) {
  char line[4 + (MAX_ARGUMENTS / 4) * 11 + 2];
  ULONG n = 0, i, offset;
  for (i = 0; i < 4; ++i) line[n++] = (request[i] >= 0x20 && request[i] < 0x7F) ? (char)request[i] : '?';
  for (offset = 8; offset + 4 <= length && offset < 8 + MAX_ARGUMENTS; offset += 4) {
    ULONG word = ReadU32(request + offset);
    int shift;
    line[n++] = ' ';
    line[n++] = '0';
    line[n++] = 'x';
    for (shift = 28; shift >= 0; shift -= 4) line[n++] = HexDigit(word >> shift);
  }
  line[n++] = '\r';
  line[n++] = '\n';
  WriteTextFile(&log_path, line, n, TRUE);
}

static void ApplyRequest(const UCHAR* request, ULONG length) {
  if (length < 16 || ReadU32(request) != TAG_DEVS || ReadU32(request + 4) != 8) return;
  if (ReadU32(request + 8) != CONTROLLER_DEVICE) return;
  WriteTextFile(&power_path, ReadU32(request + 12) != 0 ? "1" : "0", 1, FALSE);
}

static NTSTATUS Complete(PIRP irp, NTSTATUS status, ULONG_PTR information) {
  irp->IoStatus.Status = status;
  irp->IoStatus.Information = information;
  IoCompleteRequest(irp, IO_NO_INCREMENT);
  return status;
}

static NTSTATUS NTAPI OnCreateClose(PDEVICE_OBJECT device, PIRP irp) {
  (void)device;
  return Complete(irp, STATUS_SUCCESS, 0);
}

static NTSTATUS NTAPI OnControl(PDEVICE_OBJECT device, PIRP irp) {
  PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
  /* Buffered: one system buffer holds the request on the way in and the reply on the way out. */
  UCHAR* buffer = (UCHAR*)irp->AssociatedIrp.SystemBuffer;
  ULONG in_length = stack->Parameters.DeviceIoControl.InputBufferLength;
  ULONG out_length = stack->Parameters.DeviceIoControl.OutputBufferLength;
  (void)device;
  if (stack->Parameters.DeviceIoControl.IoControlCode != ACPI_METHOD_CONTROL || in_length < 8) {
    return Complete(irp, STATUS_INVALID_DEVICE_REQUEST, 0);
  }
  if (out_length < 4) return Complete(irp, STATUS_BUFFER_TOO_SMALL, 0);
  LogRequest(buffer, in_length);
  ApplyRequest(buffer, in_length);
  buffer[0] = buffer[1] = buffer[2] = buffer[3] = 0;
  return Complete(irp, STATUS_SUCCESS, 4);
}

static void NTAPI OnUnload(PDRIVER_OBJECT driver) {
  IoDeleteSymbolicLink(&link_name);
  IoDeleteDevice(driver->DeviceObject);
}

NTSTATUS NTAPI DriverEntry(PDRIVER_OBJECT driver, PUNICODE_STRING registry_path) {
  PDEVICE_OBJECT device;
  NTSTATUS status;
  (void)registry_path;
  status = IoCreateDevice(driver, 0, &device_name, FILE_DEVICE_UNKNOWN, 0, FALSE, &device);
  if (!NT_SUCCESS(status)) return status;
  status = IoCreateSymbolicLink(&link_name, &device_name);
  if (!NT_SUCCESS(status)) {
    IoDeleteDevice(device);
    return status;
  }
  device->Flags |= DO_BUFFERED_IO;
  driver->MajorFunction[IRP_MJ_CREATE] = OnCreateClose;
  driver->MajorFunction[IRP_MJ_CLOSE] = OnCreateClose;
  driver->MajorFunction[IRP_MJ_DEVICE_CONTROL] = OnControl;
  driver->DriverUnload = OnUnload;
  return STATUS_SUCCESS;
}
