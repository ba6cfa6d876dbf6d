// FCROPTIMUS_TANGO: the Optimus registers (docs/formats/optimus-register.md). Fixed-length
// packets STX ... ETX (ETB when more follow) with a shifted-XOR checksum in four hex digits;
// an exchange opens with ENQ and closes with EOT, and every packet is answered with ACK. The
// register answers 0x40 when it has an error packet to give, and TAB while it is busy.
//
//   read the tax rates:  ENQ ACK  [S K 0 ...] ACK  EOT  ENQ  ACK [VAT packet]  ACK EOT  EOT
//
// The models differ only in their names.
#pragma once

#include <string>
#include <vector>

#include "devices/registers/fcr.h"

class FCROPTIMUS_TANGO : public FCR {
 public:
  // The packets: their bytes, STX to the last checksum digit.
  class PKTBASE {
   public:
    virtual ~PKTBASE() = default;
    const std::string& data() const { return bytes_; }
    virtual int length() const = 0;

   protected:
    std::string bytes_;
  };
  // "S", the command letter and digit ("SK0"), two blank fields.
  class PKTSTART : public PKTBASE {
   public:
    explicit PKTSTART(const char* command);
    int length() const override { return 45; }
  };
  class PKTPLU : public PKTBASE {
   public:
    PKTPLU() = default;
    // A goods as an add ("1") or delete ("0") packet; ETB until Seal makes it the last.
    PKTPLU(const RegisterGoods& goods, uint8_t letter, bool add);
    explicit PKTPLU(const std::string& bytes) { bytes_ = bytes; }
    int length() const override { return 84; }
    // 0, or 12 for a tax letter without a rate.
    int decode(const TaxRateMap& rates, RegisterGoods* goods) const;
    // The same goods as a delete packet.
    PKTPLU deletion() const;
    void seal(bool last);
  };
  class PKTSALE : public PKTBASE {
   public:
    explicit PKTSALE(const std::string& bytes) { bytes_ = bytes; }
    int length() const override { return 99; }
    // 0, or 20 for fields that are no numbers.
    int decode(RegisterGoods* sale) const;
  };
  class PKTVAT : public PKTBASE {
   public:
    explicit PKTVAT(const std::string& bytes) { bytes_ = bytes; }
    int length() const override { return 32; }
    void decode(TaxRateMap* rates) const;
  };
  class PKTERR : public PKTBASE {
   public:
    explicit PKTERR(const std::string& bytes) { bytes_ = bytes; }
    int length() const override { return 47; }
    // The register's error number, -1 when the field is no hex number.
    long number() const;
  };

  const char* name() const override { return "Optimus Tango"; }
  int open(int port, const PortSettings* settings) override;
  int close() override;
  int beginTransfer(int kind) override;
  int endTransfer() override;
  int abortTransfer() override;
  int sendGoods(const RegisterGoods& goods) override;
  int readGoods(RegisterGoods* goods) override;
  int readSale(RegisterGoods* sale) override;
  int deleteSales() override;
  int deleteGoods() override;
  int fiscalReport() override;
  int display(const char* text) override;
  int validateGoods(const RegisterGoods& goods) override;

  // The checksum of a packet: over the bytes after STX up to and with ETX or ETB, each shifted
  // left by its position modulo 9, XOR-ed together.
  static unsigned Checksum(const std::string& packet);
  // A packet whose checksum and end byte are right.
  static bool Sound(const std::string& packet);
  // The code of a register error number.
  static int ErrorCode(long number);

 private:
  int sendByte(uint8_t byte);
  // 0 with the byte, 2 or 28; TAB from the register restarts the wait, at most 10 times.
  int receiveByte(uint8_t* byte);
  void lineReset();
  int sendPacket(const std::string& packet);
  // Reads a packet of length bytes: 0, 7 for EOT (end of data), 20 or a wait's code.
  int receivePacket(int length, std::string* packet);
  int errorPacket();
  // Runs a read exchange; the packets go to out when it is given.
  int readExchange(const char* command, int length, std::vector<std::string>* out);
  int writeExchange(std::vector<PKTPLU>& packets);
  int fail(int code);

  std::vector<PKTPLU> goods_;  // the transfer: goods to send, or read
  std::vector<RegisterGoods> sales_;
  size_t next_ = 0;
};

class FCROPTIMUS_SYSTEM : public FCROPTIMUS_TANGO {
 public:
  const char* name() const override { return "Optimus System"; }
};
class FCROPTIMUS_FIESTA : public FCROPTIMUS_TANGO {
 public:
  const char* name() const override { return "Optimus Fiesta"; }
};
class FCROPTIMUS_RUMBA : public FCROPTIMUS_TANGO {
 public:
  const char* name() const override { return "Optimus Rumba"; }
};
class FCROPTIMUS_BONITA : public FCROPTIMUS_TANGO {
 public:
  const char* name() const override { return "Optimus Bonita"; }
};
class FCROPTIMUS_BRAVO : public FCROPTIMUS_TANGO {
 public:
  const char* name() const override { return "Optimus Bravo"; }
};
class FCROPTIMUS_FRIGO : public FCROPTIMUS_TANGO {
 public:
  const char* name() const override { return "Optimus Frigo"; }
};
