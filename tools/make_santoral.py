#!/usr/bin/env python3
"""Writes the shipped day files of data/santoral/ and data/fiestas/.

The texts live here in UTF-8; the files are written the way the program keeps a
day file: Windows-1252 bytes, lines joined by CR LF, one CR LF after the text.
Run from anywhere: python3 tools/make_santoral.py [data-folder]
"""
import os
import sys

MONTHS = ["ENERO", "FEBRERO", "MARZO", "ABRIL", "MAYO", "JUNIO", "JULIO", "AGOSTO",
          "SEPTIEMBRE", "OCTUBRE", "NOVIEMBRE", "DICIEMBRE"]
DAYS_IN_MONTH = [31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31]

# One line per day: day | principal saint or feast | others, separated by ";".
# The saint box shows two lines of about 66 characters, so the others are only
# the few of the day that fit on the second line.
LINE_LIMIT = 66
SANTORAL = {
    "ENERO": """
1|Santa María, Madre de Dios|San Fulgencio de Ruspe; San Odilón de Cluny
2|San Basilio Magno y San Gregorio Nacianceno|Venida de la Virgen del Pilar; San Macario de Alejandría
3|Santísimo Nombre de Jesús|Santa Genoveva; San Antero papa; San Daniel de Padua
4|Santa Ángela de Foligno|Santa Isabel Ana Seton; San Rigoberto de Reims
5|San Simeón Estilita|San Juan Nepomuceno Neumann; Santa Emiliana
6|Epifanía del Señor|Santa Rafaela María; San Juan de Ribera
7|San Raimundo de Peñafort|San Luciano de Antioquía; San Valentín de Recia
8|San Severino del Nórico|San Apolinar de Hierápolis; Santa Gúdula
9|San Julián y Santa Basilisa, mártires|San Adrián de Canterbury; San Marcelino de Ancona
10|San Gonzalo de Amarante|San Guillermo de Bourges; San Agatón papa
11|San Higinio, papa|San Teodosio el Cenobiarca; San Paulino de Aquileya
12|San Benito Biscop|Santa Margarita Bourgeoys; San Arcadio; Santa Tatiana
13|San Hilario de Poitiers|San Remigio de Reims; San Gumersindo
14|San Félix de Nola|San Malaquías profeta; Santa Macrina la Mayor
15|San Mauro, abad|San Pablo ermitaño; San Arnoldo Janssen
16|San Marcelo I, papa|San Fulgencio de Écija; San Honorato de Arlés
17|San Antonio Abad|San Sulpicio de Bourges; Santa Rosalina de Villeneuve
18|Santa Margarita de Hungría|Santa Prisca; San Volusiano
19|San Mario y compañeros mártires|San Macario el Grande; San Wulstano
20|San Fabián, papa, y San Sebastián, mártir|San Eutimio el Grande
21|Santa Inés, virgen y mártir|San Fructuoso de Tarragona; San Meinrado
22|San Vicente, diácono y mártir|San Vicente Pallotti; Beata Laura Vicuña
23|San Ildefonso de Toledo|Santa Emerenciana; San Juan el Limosnero
24|San Francisco de Sales|Nuestra Señora de la Paz; San Babil
25|Conversión de San Pablo|San Ananías; Santos Juventino y Maximino
26|San Timoteo y San Tito, obispos|Santa Paula; San Alberico; San Esteban Harding
27|Santa Ángela de Mérici|San Enrique de Ossó; Santa Devota; San Vitaliano papa
28|Santo Tomás de Aquino|San Julián de Cuenca; San Tirso
29|San Valero de Zaragoza|San Gildas; San Constancio de Perusa; San Sulpicio Severo
30|Santa Martina, virgen y mártir|San Lesmes; Santa Jacinta Mariscotti; Santa Batilde
31|San Juan Bosco|San Ciro y San Juan; Santa Marcela; Beata Luisa Albertoni
""",
    "FEBRERO": """
1|Santa Brígida de Irlanda|San Cecilio; Santa Viridiana; San Severo de Avranches
2|Presentación del Señor (la Candelaria)|Santa Juana de Lestonnac; San Cornelio el centurión
3|San Blas, obispo y mártir|San Óscar (Ansgario); Santa Celerina; Santa Berlinda
4|Santa Juana de Valois|San Gilberto de Sempringham; San José de Leonisa
5|Santa Águeda, virgen y mártir|San Felipe de Jesús; Santa Adelaida de Vilich
6|San Pablo Miki y compañeros mártires|Santa Dorotea; San Gastón (Vedasto); San Amando
7|San Ricardo, rey|San Moisés obispo; San Juan de Triora; Beato Pío IX
8|San Jerónimo Emiliani|Santa Josefina Bakhita; San Esteban de Muret
9|Santa Apolonia, virgen y mártir|San Miguel Febres Cordero; San Marón; San Nicéforo
10|Santa Escolástica, virgen|San Guillermo de Malavalle; Santa Sotera
11|Nuestra Señora de Lourdes|San Benito de Aniano; San Gregorio II papa
12|Santa Eulalia de Barcelona|San Melecio de Antioquía; San Julián el Hospitalario
13|Santa Catalina de Ricci|San Benigno; Santa Fosca; Beato Jordán de Sajonia
14|San Cirilo y San Metodio, patronos de Europa|San Valentín; San Juan Bautista de la Concepción
15|San Claudio de la Colombière|Santos Faustino y Jovita; San Sigfrido; Santa Georgia
16|Santa Juliana de Nicomedia|San Onésimo; San Elías y compañeros mártires
17|Los Siete Santos Fundadores de los Servitas|San Teódulo; San Julián de Capadocia
18|San Simeón de Jerusalén, obispo y mártir|San Eladio de Toledo; San Flaviano de Constantinopla
19|San Conrado de Piacenza|Beato Álvaro de Córdoba; San Gabino
20|Santos Francisco y Jacinta Marto|San Euquerio de Orleans; San León de Catania
21|San Pedro Damián|San Severiano; San Germán de Granfelden
22|Cátedra de San Pedro|Santa Margarita de Cortona; San Maximiano de Rávena
23|San Policarpo, obispo y mártir|Santa Marta de Astorga; San Sereno
24|San Modesto de Tréveris|San Etelberto de Kent; San Sergio de Capadocia
25|San Cesáreo de Nacianzo|Santa Valburga; Beato Sebastián de Aparicio
26|San Alejandro de Alejandría|Santa Paula Montal; San Porfirio de Gaza; San Néstor
27|San Gabriel de la Dolorosa|San Baldomero; Santa Ana Line; Santa Honorina
28|San Román, abad|San Hilario papa
29|San Osvaldo de Worcester|San Hilario papa; San Román abad
""",
    "MARZO": """
1|San Rosendo|San David de Gales; San Albino; San Félix III papa
2|Santa Inés de Praga|San Ceada; Beato Carlos el Bueno
3|San Emeterio y San Celedonio, mártires|Santa Cunegunda; Santa Catalina Drexel; San Marino
4|San Casimiro|San Lucio I papa; San Pedro de Cava
5|San Juan José de la Cruz|San Adrián de Cesarea; San Virgilio de Arlés
6|San Olegario|Santa Coleta; San Julián de Toledo
7|Santas Perpetua y Felicidad, mártires|San Pablo el Simple; Santa Teresa Margarita Redi
8|San Juan de Dios|San Veremundo; San Poncio de Cartago
9|Santa Francisca Romana|Santa Catalina de Bolonia; San Paciano de Barcelona
10|Santos Cuarenta Mártires de Sebaste|San Macario de Jerusalén; San Simplicio papa
11|San Eulogio de Córdoba|San Sofronio de Jerusalén; San Constantino de Escocia
12|San Maximiliano de Tebessa, mártir|San Luis Orione; San Teófanes el Confesor
13|San Leandro de Sevilla|San Rodrigo y San Salomón (mártires de Córdoba)
14|Santa Matilde, reina|San Eutiquio; San Leobino de Chartres; Santa Paulina
15|San Clemente María Hofbauer|Santa Luisa de Marillac; Santa Leocricia; San Longinos
16|San Heriberto de Colonia|San Julián de Anazarbo; Santa Eusebia
17|San Patricio|San José de Arimatea; Santa Gertrudis de Nivelles
18|San Cirilo de Jerusalén|San Salvador de Horta; San Eduardo rey y mártir
19|San José, esposo de la Virgen María|San Landoaldo; Beata Sibilina Biscossi
20|San Martín de Braga|San Cutberto; Santa Fotina; Santa Alejandra
21|San Nicolás de Flüe|San Serapión de Thmuis; San Lupicino
22|Santa Lea|San Bienvenido de Osimo; San Pablo de Narbona
23|Santo Toribio de Mogrovejo|Santa Rebeca (Rafqa); San José Oriol; San Victoriano
24|Santa Catalina de Suecia|San Óscar Romero; Beato Diego José de Cádiz
25|Anunciación del Señor|San Dimas (el buen ladrón); San Humberto
26|San Braulio de Zaragoza|San Ludgero; San Cástulo; San Félix de Tréveris
27|San Ruperto de Salzburgo|San Juan de Egipto; Beato Francisco Faà di Bruno
28|San Sixto III, papa|San Gontrán; San Cástor de Tarso
29|San Eustasio de Luxeuil|San Bertoldo; San Segundo de Asti
30|San Juan Clímaco|San Pedro Regalado; San Leonardo Murialdo
31|San Benjamín, diácono y mártir|Santa Balbina; San Guido de Pomposa
""",
    "ABRIL": """
1|San Hugo de Grenoble|Santa María Egipciaca; San Venancio
2|San Francisco de Paula|San Nicecio de Lyon; San Pedro Calungsod; San Apiano
3|San Ricardo de Chichester|San Sixto I papa; San Pancracio de Taormina
4|San Isidoro de Sevilla|San Benito de Palermo; San Platón
5|San Vicente Ferrer|Santa Catalina Tomás; Santa Juliana de Cornillon
6|San Celestino I, papa|San Marcelino de Cartago; San Guillermo de Eskilsoe
7|San Juan Bautista de La Salle|San Hermán José; San Enrique Walpole
8|San Dionisio de Corinto|Santa Julia Billiart; San Perpetuo de Tours
9|Santa Casilda de Toledo|Santa María de Cleofás; San Hugo de Rouen
10|San Ezequiel, profeta|Santa Magdalena de Canossa; San Miguel de los Santos
11|San Estanislao, obispo y mártir|Santa Gema Galgani; San Felipe de Gortina; San Guthlac
12|San Julio I, papa|San Zenón de Verona; Santa Teresa de los Andes
13|San Martín I, papa y mártir|San Hermenegildo; Santa Ida de Boulogne
14|San Pedro González Telmo|Santa Liduvina; Santos Tiburcio y Valeriano
15|Santas Basilisa y Anastasia, mártires|San Paterno de Avranches; San César de Bus
16|Santa Bernardita Soubirous|Santo Toribio de Astorga; Santa Engracia
17|San Aniceto, papa|Santa Catalina Tekakwitha; San Roberto de Chaise-Dieu
18|San Perfecto de Córdoba|San Galdino de Milán; San Apolonio
19|San León IX, papa|San Expedito; San Alfego de Canterbury; Santa Ema
20|Santa Inés de Montepulciano|San Marcelino de Embrun; San Teodoro Triquinas
21|San Anselmo de Canterbury|San Conrado de Parzham; San Anastasio Sinaíta
22|San Sotero y San Cayo, papas|San Agapito I papa; San Leónides; Santa Oportuna
23|San Jorge, mártir|San Adalberto de Praga; San Gerardo de Toul
24|San Fidel de Sigmaringa|San Gregorio de Elvira; San Benito Menni
25|San Marcos, evangelista|San Pedro de San José Betancur; San Aniano de Alejandría
26|Nuestra Señora del Buen Consejo|San Cleto y San Marcelino papas; San Rafael Arnáiz
27|Nuestra Señora de Montserrat|Santa Zita; San Pedro Armengol
28|San Pedro Chanel|San Luis María Grignion de Montfort; San Prudencio
29|Santa Catalina de Siena|San Pedro de Verona; San Hugo de Cluny; San Tíquico
30|San Pío V, papa|San José Benito Cottolengo; Santa María de la Encarnación
""",
    "MAYO": """
1|San José Obrero|San Jeremías profeta; San Peregrino Laziosi
2|San Atanasio|San José María Rubio; San Antonino de Florencia
3|San Felipe y Santiago, apóstoles|la Cruz de Mayo; San Alejandro I papa
4|San Florián, mártir|San Godardo; San Ciriaco de Jerusalén
5|San Hilario de Arlés|San Ángel de Sicilia; San Máximo de Jerusalén
6|Santo Domingo Savio|San Evodio de Antioquía; Santa Benedicta
7|San Juan de Beverley|Santa Flavia Domitila; Santa Rosa Venerini; Santa Gisela
8|San Víctor el Moro, mártir|San Benedicto II papa; San Acacio
9|San Gregorio Ostiense|San Isaías profeta; San Pacomio; San Jorge Preca
10|San Juan de Ávila|San Damián de Molokai; San Cataldo; Santa Solange
11|San Mamerto de Vienne|San Mayolo de Cluny; San Ignacio de Láconi
12|San Nereo, San Aquileo y San Pancracio, mártires|Santo Domingo de la Calzada; Santa Juana de Portugal
13|Nuestra Señora de Fátima|San Pedro Regalado; San Andrés Huberto Fournet
14|San Matías, apóstol|Santa María Dominica Mazzarello; San Bonifacio de Tarso
15|San Isidro Labrador|San Torcuato y los Varones Apostólicos; Santa Dimpna
16|San Juan Nepomuceno|San Simón Stock; San Ubaldo; San Brandán
17|San Pascual Bailón|Santa Restituta; Santa Julia Salzano
18|San Juan I, papa y mártir|San Félix de Cantalicio; San Erico de Suecia
19|San Pedro Celestino|San Ivo; San Dunstano; Santa Pudenciana
20|San Bernardino de Siena|San Baudelio; San Etelberto de Estanglia
21|San Cristóbal Magallanes y compañeros mártires|San Eugenio de Mazenod; San Hospicio
22|Santa Rita de Casia|Santa Quiteria; Santa Julia de Córcega; San Emilio
23|San Desiderio de Vienne|San Juan Bautista de Rossi; Santa Juana Antida Thouret
24|María Auxiliadora|San Vicente de Lérins; Santos Donaciano y Rogaciano
25|San Beda el Venerable|San Gregorio VII papa; Santa María Magdalena de Pazzi
26|San Felipe Neri|San Eleuterio papa; Santa Mariana de Jesús Paredes
27|San Agustín de Canterbury|San Julio de Durostoro; San Ranulfo
28|San Germán de París|San Bernardo de Menthon; San Justo de Urgel
29|San Pablo VI, papa|San Maximino de Tréveris; Santos Voto y Félix
30|San Fernando, rey|Santa Juana de Arco; San Basilio y Santa Emilia
31|Visitación de la Virgen María|Santa Petronila; Santos Cancio y Canciano
""",
    "JUNIO": """
1|San Justino, mártir|San Íñigo de Oña; San Aníbal María di Francia
2|San Marcelino y San Pedro, mártires|San Erasmo; San Eugenio I papa
3|San Carlos Lwanga y compañeros mártires|Santa Clotilde; San Kevin; San Isaac de Córdoba
4|San Francisco Caracciolo|San Quirino de Siscia; San Optato de Milevi
5|San Bonifacio, obispo y mártir|San Sancho de Córdoba; San Doroteo de Tiro
6|San Norberto|San Marcelino Champagnat; San Claudio de Besanzón
7|San Pedro de Córdoba y compañeros mártires|San Roberto de Newminster; San Antonio María Gianelli
8|San Medardo|San Guillermo de York; San Salustiano
9|San Efrén, diácono y doctor|San Columba; San José de Anchieta
10|Santa Oliva|San Landerico de París; San Máximo de Nápoles
11|San Bernabé, apóstol|Santa María Rosa Molas; Santa Paula Frassinetti
12|San Juan de Sahagún|San Onofre; San León III papa; San Gaspar Bertoni
13|San Antonio de Padua|Santa Aquilina; San Fandila de Córdoba
14|San Eliseo, profeta|San Metodio de Constantinopla; Santa Digna de Córdoba
15|San Vito, mártir|Santos Modesto y Crescencia; Santa Germana Cousin
16|San Quirico y Santa Julita, mártires|Santa Lutgarda; San Juan Francisco Regis
17|Santos Manuel, Sabel e Ismael, mártires|San Alberto Chmielowski; San Avito
18|San Gregorio Barbarigo|Santos Marcos y Marceliano; San Ciriaco y Santa Paula
19|San Romualdo, abad|Santos Gervasio y Protasio; Santa Juliana Falconieri
20|San Silverio, papa|Santa Florentina; San Adalberto de Magdeburgo
21|San Luis Gonzaga|San Ramón de Barbastro; San Eusebio de Samosata
22|San Juan Fisher y Santo Tomás Moro, mártires|San Paulino de Nola; San Nicetas de Remesiana; San Albano
23|San José Cafasso|Santa Agripina; Santa Eteldreda; Beata María de Oignies
24|Natividad de San Juan Bautista|San Teodulfo de Lobbes; San Simplicio de Autun
25|San Guillermo de Vercelli|San Próspero de Aquitania; San Máximo de Turín
26|San Josemaría Escrivá de Balaguer|San Pelayo; Santos Juan y Pablo; San Vigilio de Trento
27|San Cirilo de Alejandría|Nuestra Señora del Perpetuo Socorro; San Zoilo
28|San Ireneo de Lyon|San Argimiro; San Pablo I papa; Santa Potamiena
29|San Pedro y San Pablo, apóstoles|San Casio de Narni; San Siro de Génova
30|Santos Protomártires de la Iglesia de Roma|San Marcial de Limoges; San Teobaldo; San Basílides
""",
    "JULIO": """
1|San Junípero Serra|San Aarón; San Oliverio Plunkett; San Teodorico
2|Santos Proceso y Martiniano, mártires|San Bernardino Realino; San Swithun
3|Santo Tomás, apóstol|San León II papa; San Anatolio de Laodicea; San Heliodoro
4|Santa Isabel de Portugal|San Laureano de Sevilla; San Ulrico de Augsburgo
5|San Antonio María Zaccaria|San Atanasio de Athos
6|Santa María Goretti|San Rómulo de Fiésole; Santa Godeleva; Santa Dominica
7|San Fermín|San Willibaldo; Beato Benedicto XI; San Panteno
8|Santos Aquila y Priscila|San Procopio; San Kilián; Beato Eugenio III
9|Santos Agustín Zhao Rong y compañeros mártires|Santa Verónica Giuliani
10|San Cristóbal, mártir|Santas Rufina y Segunda; los Siete Hermanos mártires
11|San Benito, abad, patrono de Europa|San Pío I papa; Santa Olga
12|San Juan Gualberto|Santos Luis Martin y Celia Guérin; Santos Nabor y Félix
13|San Enrique, emperador|San Eugenio de Cartago; Santa Clelia Barbieri; San Silas
14|San Camilo de Lelis|San Francisco Solano; San Ulrico de Zell
15|San Buenaventura|San Vladimiro de Kiev
16|Nuestra Señora del Carmen|Santa María Magdalena Postel; San Atenógenes
17|San Alejo|Santa Marcelina; San León IV papa
18|San Federico de Utrecht|Santa Marina; Santa Sinforosa y sus hijos
19|Santas Justa y Rufina, mártires|Santa Macrina la Joven; San Arsenio el Grande
20|San Apolinar, obispo y mártir|San Elías profeta; Santa Librada
21|San Lorenzo de Brindis|San Daniel profeta; Santa Práxedes
22|Santa María Magdalena|San Wandrilo; San Platón de Ancira
23|Santa Brígida de Suecia|San Juan Casiano; San Liborio
24|San Charbel Makhlouf|Santa Cristina; Santa Cunegunda (Kinga) de Polonia
25|Santiago Apóstol, patrono de España|San Cristóbal; Santa Valentina
26|San Joaquín y Santa Ana|Santa Bartolomea Capitanio; San Pastor
27|San Pantaleón|San Aurelio y Santa Natalia (mártires de Córdoba)
28|Santos Nazario y Celso, mártires|San Víctor I papa; San Inocencio I papa
29|Santa Marta, Santa María y San Lázaro|San Olaf de Noruega; San Lupo de Troyes
30|San Pedro Crisólogo|Santos Abdón y Senén; Santa Julita de Cesarea
31|San Ignacio de Loyola|San Germán de Auxerre; San Fabio; San Justino de Jacobis
""",
    "AGOSTO": """
1|San Alfonso María de Ligorio|Santos Macabeos; San Félix de Gerona; San Pedro Fabro
2|San Eusebio de Vercelli|San Pedro Julián Eymard; Nuestra Señora de los Ángeles
3|Santa Lidia|San Pedro de Anagni; San Asprenato
4|San Juan María Vianney, Cura de Ars|San Aristarco; Santa Perpetua
5|Dedicación de Santa María la Mayor (Virgen de las Nieves)|San Osvaldo de Northumbria; San Emigdio
6|Transfiguración del Señor|Santos Justo y Pastor; San Hormisdas papa
7|San Sixto II, papa, y compañeros mártires|San Cayetano; San Alberto de Trápani
8|Santo Domingo de Guzmán|San Ciriaco y compañeros mártires
9|Santa Teresa Benedicta de la Cruz (Edith Stein)|San Román mártir; Santa Cándida María de Jesús
10|San Lorenzo, diácono y mártir
11|Santa Clara de Asís|San Tiburcio; Santa Susana; Santa Filomena
12|Santa Juana Francisca de Chantal|Santa Hilaria; San Porcario y compañeros mártires
13|San Ponciano, papa, y San Hipólito, mártires|San Juan Berchmans; Santa Radegunda
14|San Maximiliano María Kolbe|San Eusebio presbítero; San Marcelo de Apamea
15|Asunción de la Virgen María|San Tarsicio; San Estanislao de Kostka
16|San Esteban de Hungría|San Roque; San Teódulo de Sion
17|San Mamés, mártir|San Jacinto de Polonia; Santa Clara de Montefalco
18|Santa Elena, emperatriz|San Alberto Hurtado; San Agapito de Palestrina
19|San Juan Eudes|San Ezequiel Moreno; San Luis de Tolosa; San Magín
20|San Bernardo de Claraval|San Samuel profeta; San Filiberto
21|San Pío X, papa|Santa Ciriaca; San Privato; San Sidonio Apolinar
22|Santa María Reina|San Sinforiano de Autun; San Timoteo de Roma
23|Santa Rosa de Lima|San Felipe Benicio; San Zaqueo de Jerusalén
24|San Bartolomé, apóstol|Santa María Micaela del Santísimo Sacramento
25|San Luis de Francia y San José de Calasanz|San Ginés de Arlés; Santa Patricia
26|Santa Teresa de Jesús Jornet|San Ceferino papa; Santa Juana Isabel Bichier
27|Santa Mónica|San Cesáreo de Arlés; San Amadeo de Lausana
28|San Agustín de Hipona|Santa Joaquina de Vedruna; San Hermes
29|Martirio de San Juan Bautista|Santa Sabina
30|Santos Félix y Adaucto, mártires|Santa Juana Jugan; San Fiacro; San Pammaquio
31|San Ramón Nonato|San Aidano de Lindisfarne; San Arístides
""",
    "SEPTIEMBRE": """
1|San Gil, abad|San Josué; Santa Ana profetisa
2|San Antolín, mártir|San Elpidio; Santa Ingrid
3|San Gregorio Magno|Santa Febe; San Sandalio
4|Santa Rosa de Viterbo|Santa Rosalía; San Moisés profeta; San Bonifacio I papa
5|Santa Teresa de Calcuta|San Lorenzo Justiniano; San Bertino
6|San Zacarías, profeta|San Eleuterio abad; San Onesíforo
7|Santa Regina|San Clodoaldo; San Marcos Crisino y compañeros mártires
8|Natividad de la Virgen María|Virgen de Covadonga; Virgen de Guadalupe; San Adrián
9|San Pedro Claver|Santa María de la Cabeza; San Gorgonio
10|San Nicolás de Tolentino|Santa Pulqueria; San Salvio de Albi
11|Santos Proto y Jacinto, mártires|San Juan Gabriel Perboyre; San Pafnucio
12|Santísimo Nombre de María|San Guido de Anderlecht; San Autónomo
13|San Juan Crisóstomo|San Amado de Remiremont; San Eulogio de Alejandría
14|Exaltación de la Santa Cruz|San Materno de Colonia; Santa Notburga
15|Nuestra Señora de los Dolores|San Nicomedes; Santa Catalina de Génova
16|San Cornelio, papa, y San Cipriano, obispo, mártires|Santa Eufemia; Santa Edith de Wilton; San Ninian
17|San Roberto Belarmino|Santa Hildegarda de Bingen; San Pedro de Arbués
18|San José de Cupertino|San Juan Macías; Santa Ricarda
19|San Jenaro, obispo y mártir|San Alonso de Orozco; Santa María de Cervelló
20|San Andrés Kim Taegon y compañeros mártires|San Eustaquio y compañeros mártires
21|San Mateo, apóstol y evangelista|San Jonás profeta; Santa Ifigenia
22|San Mauricio y compañeros mártires|Santo Tomás de Villanueva
23|San Pío de Pietrelcina|Santa Tecla; San Lino papa
24|Nuestra Señora de la Merced|San Gerardo Sagredo; San Pacífico de San Severino
25|San Cleofás|San Fermín de Amiens; San Sergio de Radonezh
26|Santos Cosme y Damián, mártires|Santa Teresa Couderc; San Nilo el Joven
27|San Vicente de Paúl|San Adolfo y San Juan (mártires de Córdoba); San Elceario
28|San Wenceslao, mártir|San Simón de Rojas; San Lorenzo Ruiz y compañeros
29|Santos Miguel, Gabriel y Rafael, arcángeles|San Ciriaco el Anacoreta
30|San Jerónimo|San Gregorio el Iluminador; San Honorio de Canterbury
""",
    "OCTUBRE": """
1|Santa Teresa del Niño Jesús|San Remigio; San Bavón
2|Santos Ángeles Custodios|San Saturio; San Leodegario
3|San Francisco de Borja|San Gerardo de Brogne; Santa Teodora Guérin
4|San Francisco de Asís|San Petronio de Bolonia; Santa Áurea de París
5|Santa Faustina Kowalska|San Froilán; San Atilano; San Plácido
6|San Bruno|Santa Fe de Agen; Beata María Rosa Durocher
7|Nuestra Señora del Rosario|San Marcos papa; Santos Sergio y Baco
8|Santa Pelagia|Santa Reparata; San Simeón el Anciano; Santa Taís
9|San Dionisio, obispo, y compañeros mártires|San Luis Beltrán; San Juan Leonardi
10|San Daniel Comboni|San Paulino de York; Santos Casio y Florencio
11|San Juan XXIII, papa|Santa Soledad Torres Acosta; San Felipe diácono
12|Nuestra Señora del Pilar|San Serafín de Montegranaro; San Wilfrido
13|San Eduardo el Confesor|San Teófilo de Antioquía; San Gerardo de Aurillac
14|San Calixto I, papa y mártir|San Burcardo; San Justo de Lyon; Santo Domingo Loricato
15|Santa Teresa de Jesús|Santa Aurelia de Estrasburgo; Santa Tecla de Kitzingen
16|Santa Margarita María de Alacoque|Santa Eduviges; San Galo; San Gerardo Mayela
17|San Ignacio de Antioquía|San Oseas profeta; San Juan el Enano
18|San Lucas, evangelista|San Justo de Beauvais
19|San Pedro de Alcántara|San Pablo de la Cruz; San Isaac Jogues y compañeros
20|Santa Irene|San Caprasio de Agen; Santa Adelina
21|Santa Úrsula y compañeras mártires|San Hilarión; Santa Laura Montoya; Santa Celina
22|San Juan Pablo II, papa|Santas Nunilón y Alodia; Santa María Salomé
23|San Juan de Capistrano|Santos Servando y Germán; San Severino Boecio
24|San Antonio María Claret|San Rafael arcángel; San Luis Guanella
25|Santos Crisanto y Daría, mártires|San Frutos; Santos Crispín y Crispiniano
26|San Evaristo, papa y mártir|Santos Luciano y Marciano; San Cedda
27|Santos Vicente, Sabina y Cristeta, mártires de Ávila|San Frumencio
28|San Simón y San Judas Tadeo, apóstoles|San Fidel de Como
29|San Narciso de Jerusalén|Santa Ermelinda; Beato Miguel Rúa
30|San Marcelo el Centurión, mártir|San Germán de Capua
31|San Alonso Rodríguez|San Quintín; San Wolfgango de Ratisbona
""",
    "NOVIEMBRE": """
1|Todos los Santos|San Cesáreo de Terracina; San Benigno de Dijon
2|Conmemoración de todos los fieles difuntos|San Victorino de Pettau; San Marciano de Calcis
3|San Martín de Porres|San Malaquías de Armagh; San Huberto; Santa Silvia
4|San Carlos Borromeo|Santos Vital y Agrícola; San Emerico de Hungría
5|San Zacarías y Santa Isabel|San Guido María Conforti; Santa Bertila
6|Santos mártires del siglo XX en España|San Leonardo de Noblac; San Severo de Barcelona
7|San Wilibrordo|San Ernesto; San Florencio de Estrasburgo
8|Santa Isabel de la Trinidad|Santos Cuatro Coronados; San Godofredo de Amiens
9|Dedicación de la Basílica de Letrán|Nuestra Señora de la Almudena; San Teodoro de Amasea
10|San León Magno, papa|San Andrés Avelino; San Justo de Canterbury
11|San Martín de Tours|San Menas; San Teodoro Estudita
12|San Josafat, obispo y mártir|San Millán de la Cogolla; San Cuniberto
13|San Diego de Alcalá|San Leandro de Sevilla; San Estanislao de Kostka
14|San José Pignatelli|San Lorenzo O'Toole; San Serapión mártir
15|San Alberto Magno|San Leopoldo de Austria; San Malo
16|Santa Gertrudis la Magna|Santa Margarita de Escocia; San Edmundo de Abingdon
17|Santa Isabel de Hungría|San Acisclo y Santa Victoria; San Gregorio Taumaturgo
18|Dedicación de las basílicas de San Pedro y San Pablo|Santa Rosa Filipina Duchesne; San Odón de Cluny
19|San Abdías, profeta|Santa Matilde de Hackeborn; San Rafael Kalinowski
20|San Edmundo, rey y mártir|San Félix de Valois; San Bernwardo; San Octavio mártir
21|Presentación de la Virgen María|San Gelasio I papa; San Alberto de Lovaina; San Rufo
22|Santa Cecilia, virgen y mártir|Santos Filemón y Apia
23|San Clemente I, papa y mártir|San Columbano; Beato Miguel Agustín Pro
24|Santos Andrés Dung-Lac y compañeros mártires|Santa Flora y Santa María (mártires de Córdoba)
25|Santa Catalina de Alejandría|San Moisés presbítero; San Mercurio
26|San Leonardo de Porto Maurizio|San Silvestre Gozzolini; San Conrado de Constanza
27|Nuestra Señora de la Medalla Milagrosa|San Virgilio de Salzburgo; Santos Facundo y Primitivo
28|San Jaime de la Marca|Santa Catalina Labouré; San Esteban el Joven
29|San Saturnino, obispo y mártir|San Francisco Antonio Fasani; Beato Bernardo de Hoyos
30|San Andrés, apóstol
""",
    "DICIEMBRE": """
1|San Eloy, obispo|San Carlos de Foucauld; San Edmundo Campion
2|Santa Bibiana|San Cromacio de Aquilea; Beato Juan de Ruysbroeck
3|San Francisco Javier|San Casiano de Tánger; San Sofonías profeta
4|San Juan Damasceno|Santa Bárbara; San Osmundo; San Bernardo de Parma
5|San Sabas|San Geraldo de Braga; Santa Crispina; San Dalmacio
6|San Nicolás de Bari|San Pedro Pascual; Santa Asela
7|San Ambrosio|Santa María Josefa Rosello; Santa Fara
8|Inmaculada Concepción de la Virgen María|San Eucario; Santa Narcisa de Jesús; San Romarico
9|San Juan Diego Cuauhtlatoatzin|Santa Leocadia; San Pedro Fourier; Santa Gorgonia
10|Santa Eulalia de Mérida|Nuestra Señora de Loreto; Santa Julia de Mérida
11|San Dámaso I, papa|Santa Maravillas de Jesús; San Daniel el Estilita
12|Nuestra Señora de Guadalupe|San Corentino; San Finiano de Clonard
13|Santa Lucía, virgen y mártir|Santa Otilia; San Judoco
14|San Juan de la Cruz|San Nicasio de Reims; San Venancio Fortunato
15|Santa Virginia Centurione Bracelli|Santa María Crucificada de Rosa; Santa Nina de Georgia
16|Santa Adelaida, emperatriz|San Ageo profeta; Santa Albina
17|San Lázaro de Betania|San Juan de Mata; Santa Olimpia
18|Nuestra Señora de la Esperanza (Virgen de la O)|San Gaciano de Tours; San Winebaldo
19|San Anastasio I, papa|Beato Urbano V; San Nemesio de Alejandría
20|Santo Domingo de Silos|San Filogonio; San Ursicino
21|San Pedro Canisio|San Anastasio de Antioquía; San Glicerio
22|Santa Francisca Javiera Cabrini|San Quereón y compañeros mártires
23|San Juan de Kety|Santa Victoria; Santa Margarita de Youville; San Sérvulo
24|Santos antepasados de Jesucristo|Santa Adela; Santa Tarsila; Santa Irmina
25|Natividad del Señor|Santa Anastasia; Santa Eugenia
26|San Esteban, protomártir|Santa Vicenta López y Vicuña; San Dionisio papa
27|San Juan, apóstol y evangelista|Santa Fabiola; Santos Teodoro y Teófanes
28|Santos Inocentes, mártires|San Gaspar del Búfalo; San Antonio de Lérins
29|Santo Tomás Becket|San David rey; San Trófimo de Arlés; San Marcelo Acemeta
30|San Félix I, papa|San Sabino de Espoleto; San Anisio de Tesalónica
31|San Silvestre I, papa|Santa Columba de Sens; Santa Melania la Joven
""",
}

# Spain's national holidays that fall on the same date every year.
FIESTAS = {
    (1, "ENERO"): "Año Nuevo",
    (6, "ENERO"): "Epifanía del Señor",
    (1, "MAYO"): "Fiesta del Trabajo",
    (15, "AGOSTO"): "Asunción de la Virgen",
    (12, "OCTUBRE"): "Fiesta Nacional de España",
    (1, "NOVIEMBRE"): "Todos los Santos",
    (6, "DICIEMBRE"): "Día de la Constitución Española",
    (8, "DICIEMBRE"): "Inmaculada Concepción",
    (25, "DICIEMBRE"): "Natividad del Señor",
}


def day_file_name(day, month):
    return f"{day} de {month}.txt"


def day_file_bytes(lines):
    # Strict encoding: a character the code page cannot hold stops the build
    # instead of turning into '?' in a shipped file.
    return ("\r\n".join(lines) + "\r\n").encode("cp1252")


def santoral_lines():
    """Yields (day, month, lines) for every day of the year, 29 February included."""
    for month, length in zip(MONTHS, DAYS_IN_MONTH):
        rows = [r for r in SANTORAL[month].strip().splitlines() if r.strip()]
        seen = []
        for row in rows:
            fields = row.split("|")
            if len(fields) not in (2, 3):
                raise ValueError(f"{month}: bad row {row!r}")
            day = int(fields[0])
            principal = fields[1].strip()
            others = [o.strip() for o in fields[2].split(";")] if len(fields) == 3 else []
            if not principal or any(not o or "," in o for o in others):
                # The others are joined by ", ": an item with its own comma would read as two.
                raise ValueError(f"{day} de {month}: empty name or comma inside a name")
            lines = [principal]
            if others:
                lines.append("También: " + ", ".join(others))
            if any(len(line) > LINE_LIMIT for line in lines):
                raise ValueError(f"{day} de {month}: a line longer than the saint box")
            seen.append(day)
            yield day, month, lines
        if seen != list(range(1, length + 1)):
            raise ValueError(f"{month}: days {seen} are not 1..{length} in order")


def write_folder(folder, files):
    os.makedirs(folder, exist_ok=True)
    wanted = set(files)
    for old in os.listdir(folder):
        if old.endswith(".txt") and old not in wanted:
            os.remove(os.path.join(folder, old))
    for name, data in files.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    data = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "data")
    santoral = {day_file_name(d, m): day_file_bytes(lines) for d, m, lines in santoral_lines()}
    if len(santoral) != 366:
        raise ValueError(f"{len(santoral)} saint files instead of 366")
    fiestas = {day_file_name(d, m): day_file_bytes([text]) for (d, m), text in FIESTAS.items()}
    write_folder(os.path.join(data, "santoral"), santoral)
    write_folder(os.path.join(data, "fiestas"), fiestas)
    print(f"{len(santoral)} saint files, {len(fiestas)} holiday files in {os.path.normpath(data)}")


if __name__ == "__main__":
    main()
